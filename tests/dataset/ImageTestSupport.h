#pragma once
// Dataset images written by the tests themselves, independently of the image's writer: a builder for
// hand-made (and damaged) images, the expected encoding of one record's entry, and a snapshot of the
// dataset to tell whether a load changed it.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "dataset/QuelkVariable.h"
#include "dataset/QuelkVariableStore.h"
#include "tests/support/HResultText.h"
#include "tests/support/TestStreams.h"
#include "tests/support/TestVariants.h"

namespace imagetest {

using vtest::Bytes;
using vtest::StreamBytes;
using vtest::StreamOn;

class ImageBuilder {
public:
    ImageBuilder& Raw(const Bytes& bytes);
    ImageBuilder& Raw(const void* data, size_t size);
    ImageBuilder& U16(USHORT number) { return Raw(&number, sizeof number); }
    ImageBuilder& U32(ULONG number) { return Raw(&number, sizeof number); }
    ImageBuilder& Text(const std::wstring& text);  // counted text with its zero
    ImageBuilder& VariantI4(LONG number) { return U16(VT_I4).U32(static_cast<ULONG>(number)); }
    ImageBuilder& VariantUI4(ULONG number) { return U16(VT_UI4).U32(number); }
    ImageBuilder& VariantUI1(BYTE number) { return U16(VT_UI1).Raw(&number, 1); }
    ImageBuilder& VariantBstr(const std::wstring& text) { return U16(VT_BSTR).Text(text); }
    // The header of a current image: device type text, then "1.0" and "1".
    ImageBuilder& Header(const std::wstring* deviceType = nullptr);
    // One entry of the values part.
    ImageBuilder& Entry(ULONG id, VARTYPE dataType, const Bytes& encodedValue, ULONG access) {
        return VariantUI4(id).VariantUI4(dataType).Raw(encodedValue).VariantUI4(access);
    }
    const Bytes& Get() const { return bytes_; }

private:
    Bytes bytes_;
};

// The encoded value of one record as the image must hold it (VARTYPE and payload).
Bytes ExpectedValueEncoding(const CQuelkVariable& record);
// The whole entry (id, data type, value, access) of one record.
Bytes ExpectedEntry(const CQuelkVariable& record);

// Every record as "id: value access" in list order ("3: ui1:42 0x71"), to compare datasets.
std::vector<std::string> Snapshot(const CQuelkVariableStore& store);
// The record with `id` (a copy).
CQuelkVariable RecordOf(const CQuelkVariableStore& store, ULONG id);

}  // namespace imagetest
