#pragma once
// Invoke ids of the DP-V1 client: every request to the channel goes out under a fresh UUID written as its
// 36-character text (8-4-4-4-12 hexadecimal digits, upper case, no braces), and every answer is matched to
// its request by comparing such ids without regard to case. Stateless; any thread.
#include <windows.h>
#include <oleauto.h>

// The exact length of an invoke id (and of a communication reference that the client accepts).
constexpr UINT kInvokeIdLength = 36;

// The bus category "Profibus DP/V1", handed to the channel as the protocol of the connection.
// {036D1499-387B-11D4-86E1-00E0987270B9}
constexpr GUID kProfibusDpv1ProtocolId = {
    0x036d1499, 0x387b, 0x11d4, {0x86, 0xe1, 0x00, 0xe0, 0x98, 0x72, 0x70, 0xb9}};

// A new BSTR with the GUID's 36-character text in upper case. E_POINTER for a null argument, the
// formatting's failure, E_OUTOFMEMORY when the string cannot be allocated. *text is written only on S_OK.
HRESULT GuidToBstr(const GUID* guid, BSTR* text) noexcept;

// A fresh UUID (a locally unique one is good enough) as GuidToBstr writes it. E_FAIL when no UUID can be
// made.
HRESULT CreateInvokeId(BSTR* invokeId) noexcept;

// True when both are non-null, both exactly 36 characters long and equal without regard to case.
bool InvokeIdEquals(BSTR first, BSTR second) noexcept;
