#pragma once
// The DP-V1 data of a parameter as byte-array text and back: the text of a write request's
// fdt:CommunicationData and of a read answer. Bytes are written in wire order, two upper-case hexadecimal
// digits each; numbers most significant byte first; floating-point numbers as their IEEE 754 bits in the same
// order; a VT_DATE as the PROFIBUS time of day (milliseconds since midnight). Reading accepts digits of
// either case. Stateless; any thread.
#include <windows.h>
#include <oleauto.h>

// The DP-V1 bytes of `value` as text; *text is a new BSTR the caller frees (written only on S_OK). A type
// without a DP-V1 layout (VT_EMPTY, VT_CY, anything by reference, arrays of other elements) gives an empty
// text. E_POINTER for a null `text`; for a byte array: E_INVALIDARG when it has other than one dimension,
// E_UNEXPECTED when it has no array, the lock's failure; E_OUTOFMEMORY when the text cannot be made.
HRESULT ValueToText(const VARIANT& value, BSTR* text) noexcept;

// The value of `type` that the bytes of `text` hold. The value keeps the type asked for: a byte 0xFF read
// as VT_I1 is -1, four bytes of 2^31 or more read as VT_UI4 stay unsigned. Bytes beyond those the type
// uses are ignored. E_POINTER for a null `value`; E_INVALIDARG for a null or empty text, one of odd length
// or with a character that is no hexadecimal digit, too few bytes for the type, or a VT_DATE of other
// than 4, 6 or 7 bytes; E_UNEXPECTED for a type without a DP-V1 layout; E_FAIL when a byte array cannot
// be made. *value, an [out] parameter, is written (never cleared) only on S_OK.
HRESULT TextToValue(BSTR text, VARTYPE type, VARIANT* value) noexcept;
