#include "tests/dataset/ImageTestSupport.h"

#include <cstdio>

namespace imagetest {

using vtest::Describe;
using vtest::Elements;
using vtest::StringOf;

ImageBuilder& ImageBuilder::Raw(const Bytes& bytes) { return Raw(bytes.data(), bytes.size()); }

ImageBuilder& ImageBuilder::Raw(const void* data, size_t size) {
    const BYTE* first = static_cast<const BYTE*>(data);
    bytes_.insert(bytes_.end(), first, first + size);
    return *this;
}

ImageBuilder& ImageBuilder::Text(const std::wstring& text) {
    const ULONG count = static_cast<ULONG>((text.size() + 1) * sizeof(wchar_t));
    return U32(count).Raw(text.c_str(), count);
}

ImageBuilder& ImageBuilder::Header(const std::wstring* deviceType) {
    if (deviceType) {
        Text(*deviceType);
    } else {
        U32(0);  // no text
    }
    return VariantBstr(L"1.0").VariantBstr(L"1");
}

Bytes ExpectedValueEncoding(const CQuelkVariable& record) {
    const VARIANT& value = *record.Value.Get();
    ImageBuilder image;
    switch (record.DataType) {
        case VT_UI1:
            return image.VariantUI1(value.bVal).Get();
        case VT_UI2:
            return image.U16(VT_UI2).U16(value.uiVal).Get();
        case VT_UI4:
            return image.VariantUI4(value.ulVal).Get();
        case VT_R4:
            return image.U16(VT_R4).Raw(&value.fltVal, 4).Get();
        case VT_BSTR:
            return image.VariantBstr(StringOf(value.bstrVal)).Get();
        case VT_ARRAY | VT_UI1: {  // as upper-case hexadecimal text
            std::wstring hex;
            for (BYTE b : Elements<BYTE>(value)) {
                wchar_t digits[3];
                std::swprintf(digits, 3, L"%02X", b);
                hex += digits;
            }
            return image.VariantBstr(hex).Get();
        }
        default:
            ADD_FAILURE() << "a data type the table does not use: " << record.DataType;
            return {};
    }
}

Bytes ExpectedEntry(const CQuelkVariable& record) {
    return ImageBuilder()
        .Entry(record.Id(), record.DataType, ExpectedValueEncoding(record), record.Access)
        .Get();
}

std::vector<std::string> Snapshot(const CQuelkVariableStore& store) {
    std::vector<std::string> snapshot;
    const CQuelkVariableList& list = store.Variables();
    for (ULONG i = 0; i < list.Count(); ++i) {
        CQuelkVariable record;
        EXPECT_HR(S_OK, list.GetVariableAt(static_cast<int>(i), &record));
        char access[16];
        std::snprintf(access, sizeof access, " 0x%lX", record.Access);
        snapshot.push_back(std::to_string(record.Id()) + ": " + Describe(*record.Value) + access);
    }
    return snapshot;
}

CQuelkVariable RecordOf(const CQuelkVariableStore& store, ULONG id) {
    // A whole-record copy by index carries the id along; a field copy by id would not.
    CQuelkVariable record;
    EXPECT_HR(S_OK, store.Variables().GetVariableAt(store.Variables().FindById(id), &record));
    return record;
}

}  // namespace imagetest
