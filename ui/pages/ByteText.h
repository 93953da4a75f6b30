#pragma once
// The octet strings of the block pages as text: a PROFIBUS PA octet string (tag, alarm summary) shown as the
// ANSI characters of its bytes, and a typed text turned back into a fixed-length octet string.
// Stateless; any thread.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

// The bytes of a one-dimensional VT_ARRAY|VT_UI1 value up to its first zero byte, as characters; the empty
// text for any other value (another type, more dimensions, no elements).
std::string OctetStringText(const VARIANT& value);

// The first byte of a one-dimensional byte array of at least two bytes, else 0.
BYTE LeadingOctet(const VARIANT& value) noexcept;

// A one-dimensional byte array (lower bound 0) of `length` bytes: byte i is the unsigned 8-bit code of
// character i of `text`, blanks (0x20) after the text; a longer text is cut. Replaces what `value` held.
// E_POINTER for a null `value`, E_FAIL when the array cannot be made.
HRESULT TextToOctetString(std::string_view text, ULONG length, VARIANT* value) noexcept;
