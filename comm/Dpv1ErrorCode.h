#pragma once
// The two kinds of failure a DP-V1 answer can carry, turned into the texts the user reads: the DP-V1 error
// code of a response (Error_Decode, Error_Code_1, Error_Code_2 of the PROFIBUS DP-V1 standard) and the
// channel's own fdt:CommunicationError element. The texts, their typos included, are the ones users and
// their support have always seen. Stateless; any thread that may use the document.
#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>

#include "classlib/Bstr.h"

// The text of Error_Code_1 ("Invalid index" for 0xB0); empty for a code without a row.
const wchar_t* Dpv1ErrorCodeText(BYTE errorCode1) noexcept;

// Decodes an errorCode attribute read as a byte array. An empty array, or one whose bytes are all zero, is
// no error (*isError 0, `message` untouched). Otherwise `message` becomes
// "ErrorCode <hex of every byte> recieved! <text of Error_Code_1>" (an empty text for fewer than three
// bytes or a code without a row) and *isError 1. E_INVALIDARG for a null `isError`, a value that is no
// byte array, an array that does not hold bytes (ql::HoldsBytes, asked before anything of it is read), or
// an array of more than one dimension; the hex text's or the format's failure.
HRESULT CheckDpv1ErrorCode(const VARIANT& errorCode, ql::Bstr& message, BYTE* isError) noexcept;

// True when the document holds "FDT/fdt:CommunicationError"; `text` then becomes "ERROR:" followed by
// " errorCode = <hex>" and " descr = <descriptor>" for the attributes that are present and readable.
// False (text untouched) for a null document or no such element.
bool ParseCommunicationError(IXMLDOMNode* document, ql::Bstr& text) noexcept;

// The reference check of every answer on an open connection: `reference` is a VT_BSTR, both texts are
// non-null, both exactly 36 characters long and equal without regard to case.
bool IsSameCommunicationReference(const VARIANT& reference, BSTR stored) noexcept;
