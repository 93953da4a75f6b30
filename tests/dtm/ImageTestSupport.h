#pragma once
// Dataset images written by the tests themselves, independently of the DTM's writer: a builder for
// hand-made (and damaged) images, the expected encoding of one record's entry, and a snapshot of the
// dataset to tell whether a load changed it.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "DtmTestSupport.h"
#include "dataset/QuelkVariable.h"
#include "dataset/QuelkVariableStore.h"

namespace dtmtest {

class ImageBuilder {
public:
    ImageBuilder& Raw(const Bytes& bytes);
    ImageBuilder& U16(USHORT number);
    ImageBuilder& U32(ULONG number);
    ImageBuilder& Text(const std::wstring& text);  // counted text with its zero
    ImageBuilder& NullText();
    ImageBuilder& VariantI4(LONG number);
    ImageBuilder& VariantUI4(ULONG number);
    ImageBuilder& VariantUI1(BYTE number);
    ImageBuilder& VariantBstr(const std::wstring& text);
    // The header of a current image: device type text, then "1.0" and "1".
    ImageBuilder& Header(const std::wstring* deviceType = nullptr);
    // One entry of the values part.
    ImageBuilder& Entry(ULONG id, VARTYPE dataType, const Bytes& encodedValue, ULONG access);
    const Bytes& Get() const { return bytes_; }

private:
    Bytes bytes_;
};

// The encoded value of one record as the image must hold it (VARTYPE and payload).
Bytes ExpectedValueEncoding(const CQuelkVariable& record);
// The whole entry (id, data type, value, access) of one record.
Bytes ExpectedEntry(const CQuelkVariable& record);

// The elements of a byte array (empty for anything else).
Bytes ArrayBytesOf(const VARIANT& value);

// Every record's id, value (type and bytes) and access word, in list order.
struct RecordSnapshot {
    ULONG id;
    VARTYPE type;
    Bytes value;
    ULONG access;
    bool operator==(const RecordSnapshot& other) const {
        return id == other.id && type == other.type && value == other.value && access == other.access;
    }
};
void PrintTo(const RecordSnapshot& record, std::ostream* os);
std::vector<RecordSnapshot> Snapshot(const CQuelkVariableStore& store);
// The record with `id` (a copy).
CQuelkVariable RecordOf(const CQuelkVariableStore& store, ULONG id);

}  // namespace dtmtest
