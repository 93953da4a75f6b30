#pragma once
// Byte strings as the system carries them (a VARIANT of exactly VT_ARRAY|VT_UI1 with one dimension) and
// their text form: two upper-case hexadecimal digits per byte, high nibble first, nothing in between
// (0x0A 0x1B 0xFF reads "0A1BFF"); read back in either case. Stateless; any thread.
#include <windows.h>

#include <objidl.h>
#include <oleauto.h>

#include "values/Bytes.h"

// The hexadecimal text of every element of a byte array, in storage order (the lower bound is not looked
// at). *text is overwritten without being freed. A value that is no byte array (an array that does not
// hold bytes, ql::HoldsBytes, included: it is not read) gives an empty text and S_OK when `lenient`, else
// E_INVALIDARG with *text untouched. E_POINTER for a null argument; a byte array without its array
// pointer gives E_UNEXPECTED with *text null; one of other than one dimension E_INVALIDARG; E_OUTOFMEMORY
// when the text cannot be allocated.
HRESULT BytesToHexBstr(const VARIANT* value, BSTR* text, BOOL lenient) noexcept;

// The byte array (lower bound 0) that `text` writes. An empty or null text gives VT_EMPTY, or with
// `keepEmpty` an array of no elements. E_INVALIDARG for a text of odd length or with any character that
// is no hexadecimal digit (an embedded NUL included); E_FAIL when the array cannot be made. *value is
// cleared and replaced only on success; on every failure it keeps what it held.
HRESULT HexBstrToByteArray(VARIANT* value, BSTR text, BOOL keepEmpty) noexcept;

// The whole contents of a stream on global memory as a byte array, whatever its seek position. *value is
// overwritten without being cleared (the caller passes an empty one). E_POINTER for a null argument,
// E_NOTIMPL for an empty stream, the stream's own failure for one that is not on global memory, E_FAIL
// when its memory cannot be reached, E_OUTOFMEMORY when the array cannot be made.
HRESULT BytesToVariantArray(IStream* stream, VARIANT* value) noexcept;
