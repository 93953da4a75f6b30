#pragma once
// PROFIBUS PA records built from numbers: a new one-dimensional byte array (lower bound 0), big-endian,
// floats as their 32 raw bits, handed to `out` as VT_ARRAY|VT_UI1 (its old value cleared). S_OK; E_POINTER
// for a null `out`; E_OUTOFMEMORY, with `out` as it was, when the array cannot be made.
// Stateless; any thread.
#include <windows.h>
#include <oleauto.h>

// Scale record, 11 bytes: value at 100 %, value at 0 %, units index, decimal places.
HRESULT EncodeScaleRecord(VARIANT* out, float valueAt100, float valueAt0, USHORT unitsIndex,
                          BYTE decimalPlaces) noexcept;
// 8 bytes: the first word in bytes 0-3, the second in 4-7.
HRESULT MakeByteArray8(VARIANT* out, ULONG first, ULONG second) noexcept;
// 6 bytes: first byte, 32-bit word, last byte.
HRESULT BuildByteArrayRecord(VARIANT* out, BYTE first, ULONG word, BYTE last) noexcept;
