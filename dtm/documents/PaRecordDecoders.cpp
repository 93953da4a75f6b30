#include "dtm/documents/PaRecordDecoders.h"

#include "dtm/documents/PaRecordBytes.h"

namespace {

// The bytes each layout reads (and so the shortest record that is decoded rather than defaulted).
constexpr size_t kValueWithStatusBytes = 5;
constexpr size_t kScalePairBytes = 8;
constexpr size_t kScaleRecordBytes = 11;
constexpr size_t kBatchRecordBytes = 10;
constexpr size_t kBlockObjectReadBytes = 13;
constexpr size_t kRecord6Bytes = 6;

constexpr ULONG kFloatBits100 = 0x42C80000;  // 100.0
constexpr USHORT kDefaultUnitsIndex = 1133;
constexpr ULONG kDefaultDecimalPlaces = 3;
constexpr BYTE kDefaultBlockClass = 250;  // "Not Used"
constexpr BYTE kDefaultProfileRevision = 3;

template <class T>
void Put(T* out, T value) noexcept {
    if (out) *out = value;
}

}  // namespace

void DecodeFloatWithStatus(const VARIANT& record, float* value, BYTE* status) noexcept {
    BYTE bytes[kValueWithStatusBytes] = {};
    const PaRecordRead read = ReadPaRecord(record, sizeof bytes, bytes);
    if (read == PaRecordRead::NoArray) return;
    // The defaults are the all-zero record.
    Put(value, FloatFromBits(ReadBigEndian32(bytes)));
    Put(status, bytes[4]);
}

void DecodeValueStatusRecord(const VARIANT& record, float* first, ULONG* second) noexcept {
    BYTE bytes[kScalePairBytes] = {};
    const PaRecordRead read = ReadPaRecord(record, sizeof bytes, bytes);
    if (read == PaRecordRead::NoArray) return;
    if (read == PaRecordRead::Defaults) {
        Put(first, FloatFromBits(kFloatBits100));
        Put(second, 0UL);
        return;
    }
    Put(first, FloatFromBits(ReadBigEndian32(bytes)));
    Put(second, ReadBigEndian32(bytes + 4));
}

void DecodeScaleRecord(const VARIANT& record, float* valueAt100, float* valueAt0, USHORT* unitsIndex,
                       ULONG* decimalPlaces) noexcept {
    BYTE bytes[kScaleRecordBytes] = {};
    const PaRecordRead read = ReadPaRecord(record, sizeof bytes, bytes);
    if (read == PaRecordRead::NoArray) return;
    if (read == PaRecordRead::Defaults) {
        Put(valueAt100, FloatFromBits(kFloatBits100));
        Put(valueAt0, 0.0f);
        Put(unitsIndex, kDefaultUnitsIndex);
        Put(decimalPlaces, kDefaultDecimalPlaces);
        return;
    }
    Put(valueAt100, FloatFromBits(ReadBigEndian32(bytes)));
    Put(valueAt0, FloatFromBits(ReadBigEndian32(bytes + 4)));
    Put(unitsIndex, ReadBigEndian16(bytes + 8));
    Put(decimalPlaces, static_cast<ULONG>(bytes[10]));
}

void DecodeBatchRecord(const VARIANT& record, ULONG* batchId, ULONG* rup, ULONG* operation,
                       ULONG* phase) noexcept {
    BYTE bytes[kBatchRecordBytes] = {};
    if (ReadPaRecord(record, sizeof bytes, bytes) == PaRecordRead::NoArray) return;
    Put(batchId, ReadBigEndian32(bytes));
    Put(rup, static_cast<ULONG>(ReadBigEndian16(bytes + 4)));
    Put(operation, static_cast<ULONG>(ReadBigEndian16(bytes + 6)));
    Put(phase, static_cast<ULONG>(ReadBigEndian16(bytes + 8)));
}

void DecodeBlockObject(const VARIANT& record, BYTE* block, BYTE* parentClass, BYTE* blockClass,
                       BYTE* profileRevision) noexcept {
    BYTE bytes[kBlockObjectReadBytes] = {};
    const PaRecordRead read = ReadPaRecord(record, sizeof bytes, bytes);
    if (read == PaRecordRead::NoArray) return;
    if (read == PaRecordRead::Defaults) {
        Put(block, BYTE{0});
        Put(parentClass, BYTE{0});
        Put(blockClass, kDefaultBlockClass);
        Put(profileRevision, kDefaultProfileRevision);
        return;
    }
    Put(block, bytes[1]);
    Put(parentClass, bytes[2]);
    Put(blockClass, bytes[3]);
    Put(profileRevision, bytes[12]);
}

void DecodeRecord6(const VARIANT& record, BYTE* first, ULONG* word, BYTE* last) noexcept {
    BYTE bytes[kRecord6Bytes] = {};
    if (ReadPaRecord(record, sizeof bytes, bytes) == PaRecordRead::NoArray) return;
    Put(first, bytes[0]);
    Put(word, ReadBigEndian32(bytes + 1));
    Put(last, bytes[5]);
}
