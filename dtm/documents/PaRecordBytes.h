#pragma once
// The byte level of the PROFIBUS PA records: how a record VARIANT (VT_ARRAY|VT_UI1, one dimension, the
// device's byte order) is read safely, and hexadecimal text to bytes. The big-endian numbers inside a
// record are read and written with values/Bytes.h. Stateless; any thread that may touch the VARIANTs
// passed.
#include <windows.h>
#include <oleauto.h>

#include <cstddef>
#include <vector>

#include "values/Bytes.h"

enum class PaRecordRead {
    NoArray,   // a byte array without its array: the routines leave their outputs as the caller set them
    Defaults,  // not a one-dimensional byte array, or shorter than the layout: the routine's defaults apply
    Bytes,     // the layout's bytes were copied
};

// Copies the first `length` bytes of `record` into `bytes` (which holds `length` bytes) when the record is a
// one-dimensional VT_ARRAY|VT_UI1 of at least that many elements. Nothing past the array is ever read.
PaRecordRead ReadPaRecord(const VARIANT& record, size_t length, BYTE* bytes) noexcept;

// A new one-dimensional byte array (lower bound 0) holding `count` bytes of `bytes`, into `out`, which is
// cleared and replaced only on success. E_POINTER for a null `out`, E_OUTOFMEMORY when the array cannot
// be made.
HRESULT MakePaRecord(const BYTE* bytes, size_t count, VARIANT* out) noexcept;

// The bytes that a hexadecimal text writes, two digits (either case) per byte, high digit first. A null
// `bytes` or null text: S_OK and nothing written. A text of odd length or with any character that is not a
// hexadecimal digit: E_INVALIDARG and `bytes` untouched (the whole text is checked first). An empty text
// gives no bytes. Any length is taken.
HRESULT ParseHexBytes(std::vector<BYTE>* bytes, BSTR text) noexcept;
