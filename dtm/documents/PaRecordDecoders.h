#pragma once
// Numbers out of the PROFIBUS PA records the dataset holds as byte arrays (big-endian, floats as their 32
// raw bits). One pattern for every decoder: a byte array without its array leaves every output as the
// caller set it; a value that is not a one-dimensional byte array, or that is shorter than the bytes the
// layout reads, gives the decoder's defaults; otherwise the fields are read from their bytes. A decoder
// never reads past the end of a record. Each output may be null (that output is skipped).
// Stateless; any thread.
#include <windows.h>
#include <oleauto.h>

// Value with status (5 bytes): value float in 0-3, status byte 4. Defaults 0.0 and 0.
void DecodeFloatWithStatus(const VARIANT& record, float* value, BYTE* status) noexcept;

// Scale pair (8 bytes): the value at 100 % as a float in 0-3, the second word (32 bits) in 4-7.
// Defaults 100.0 and 0.
void DecodeValueStatusRecord(const VARIANT& record, float* first, ULONG* second) noexcept;

// Scale record (11 bytes): value at 100 % and at 0 % (floats), units index (16 bits), decimal places
// (8 bits). Defaults 100.0, 0.0, 1133, 3.
void DecodeScaleRecord(const VARIANT& record, float* valueAt100, float* valueAt0, USHORT* unitsIndex,
                       ULONG* decimalPlaces) noexcept;

// Batch record (10 bytes): batch id (32 bits), RUP, operation, phase (16 bits each). Defaults all 0.
void DecodeBatchRecord(const VARIANT& record, ULONG* batchId, ULONG* rup, ULONG* operation,
                       ULONG* phase) noexcept;

// Block object (the 20-byte PA block object; bytes 1, 2, 3 and 12 are read): block, parent class, class,
// high byte of the profile revision. Defaults 0, 0, 250, 3.
void DecodeBlockObject(const VARIANT& record, BYTE* block, BYTE* parentClass, BYTE* blockClass,
                       BYTE* profileRevision) noexcept;

// Six-byte record (status, value, enable): first byte, big-endian 32-bit word in 1-4, last byte.
// Defaults all 0.
void DecodeRecord6(const VARIANT& record, BYTE* first, ULONG* word, BYTE* last) noexcept;
