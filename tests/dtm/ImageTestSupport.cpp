#include "ImageTestSupport.h"

#include <cstring>

#include "classlib/SafeArray.h"

namespace dtmtest {

namespace {

void Append(Bytes& bytes, const void* data, size_t size) {
    const BYTE* first = static_cast<const BYTE*>(data);
    bytes.insert(bytes.end(), first, first + size);
}

Bytes TextBytes(const std::wstring& text) {
    Bytes bytes;
    const ULONG count = static_cast<ULONG>((text.size() + 1) * sizeof(wchar_t));
    Append(bytes, &count, sizeof count);
    Append(bytes, text.c_str(), count);
    return bytes;
}

}  // namespace

Bytes ArrayBytesOf(const VARIANT& value) {
    Bytes bytes;
    if (V_VT(&value) != (VT_ARRAY | VT_UI1) || !V_ARRAY(&value)) return bytes;
    LONG lower = 0, upper = -1;
    ::SafeArrayGetLBound(V_ARRAY(&value), 1, &lower);
    ::SafeArrayGetUBound(V_ARRAY(&value), 1, &upper);
    ql::SafeArrayData<BYTE> data(V_ARRAY(&value));
    if (FAILED(data.Status())) return bytes;
    for (LONG i = 0; i <= upper - lower; ++i) bytes.push_back(data[static_cast<size_t>(i)]);
    return bytes;
}

namespace {

std::wstring Hex(const Bytes& bytes) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text;
    for (BYTE b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 15];
    }
    return text;
}

}  // namespace

ImageBuilder& ImageBuilder::Raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}
ImageBuilder& ImageBuilder::U16(USHORT number) {
    Append(bytes_, &number, sizeof number);
    return *this;
}
ImageBuilder& ImageBuilder::U32(ULONG number) {
    Append(bytes_, &number, sizeof number);
    return *this;
}
ImageBuilder& ImageBuilder::Text(const std::wstring& text) { return Raw(TextBytes(text)); }
ImageBuilder& ImageBuilder::NullText() { return U32(0); }
ImageBuilder& ImageBuilder::VariantI4(LONG number) { return U16(VT_I4).U32(static_cast<ULONG>(number)); }
ImageBuilder& ImageBuilder::VariantUI4(ULONG number) { return U16(VT_UI4).U32(number); }
ImageBuilder& ImageBuilder::VariantUI1(BYTE number) {
    U16(VT_UI1);
    bytes_.push_back(number);
    return *this;
}
ImageBuilder& ImageBuilder::VariantBstr(const std::wstring& text) { return U16(VT_BSTR).Text(text); }

ImageBuilder& ImageBuilder::Header(const std::wstring* deviceType) {
    if (deviceType) {
        Text(*deviceType);
    } else {
        NullText();
    }
    return VariantBstr(L"1.0").VariantBstr(L"1");
}

ImageBuilder& ImageBuilder::Entry(ULONG id, VARTYPE dataType, const Bytes& encodedValue, ULONG access) {
    return VariantUI4(id).VariantUI4(dataType).Raw(encodedValue).VariantUI4(access);
}

Bytes ExpectedValueEncoding(const CQuelkVariable& record) {
    Bytes bytes;
    const VARIANT& value = *record.Value.Get();
    auto type = [&](VARTYPE vt) { Append(bytes, &vt, sizeof vt); };
    switch (record.DataType) {
        case VT_UI1:
            type(VT_UI1);
            Append(bytes, &value.bVal, 1);
            break;
        case VT_UI2:
            type(VT_UI2);
            Append(bytes, &value.uiVal, 2);
            break;
        case VT_UI4:
            type(VT_UI4);
            Append(bytes, &value.ulVal, 4);
            break;
        case VT_R4:
            type(VT_R4);
            Append(bytes, &value.fltVal, 4);
            break;
        case VT_BSTR: {
            type(VT_BSTR);
            const std::wstring text(value.bstrVal ? value.bstrVal : L"",
                                    value.bstrVal ? ::SysStringLen(value.bstrVal) : 0);
            const Bytes counted = TextBytes(text);
            bytes.insert(bytes.end(), counted.begin(), counted.end());
            break;
        }
        case VT_ARRAY | VT_UI1: {
            type(VT_BSTR);
            const Bytes counted = TextBytes(Hex(ArrayBytesOf(value)));
            bytes.insert(bytes.end(), counted.begin(), counted.end());
            break;
        }
        default:
            ADD_FAILURE() << "a data type the table does not use: " << record.DataType;
            break;
    }
    return bytes;
}

Bytes ExpectedEntry(const CQuelkVariable& record) {
    return ImageBuilder()
        .Entry(record.Id(), record.DataType, ExpectedValueEncoding(record), record.Access)
        .Get();
}

std::vector<RecordSnapshot> Snapshot(const CQuelkVariableStore& store) {
    std::vector<RecordSnapshot> snapshot;
    const CQuelkVariableList& list = store.Variables();
    for (ULONG i = 0; i < list.Count(); ++i) {
        CQuelkVariable record;
        EXPECT_HR(S_OK, list.GetVariableAt(static_cast<int>(i), &record));
        RecordSnapshot entry{record.Id(), record.Value.Type(), {}, record.Access};
        const VARIANT& value = *record.Value.Get();
        if (entry.type == (VT_ARRAY | VT_UI1)) {
            entry.value = ArrayBytesOf(value);
        } else if (entry.type == VT_BSTR) {
            if (value.bstrVal) Append(entry.value, value.bstrVal, ::SysStringByteLen(value.bstrVal));
        } else {
            const size_t width = entry.type == VT_UI1     ? 1
                                 : entry.type == VT_UI2   ? 2
                                 : entry.type == VT_EMPTY ? 0
                                                          : 4;
            Append(entry.value, &value.bVal, width);
        }
        snapshot.push_back(std::move(entry));
    }
    return snapshot;
}

CQuelkVariable RecordOf(const CQuelkVariableStore& store, ULONG id) {
    // A whole-record copy by index carries the id along; a field copy by id would not.
    CQuelkVariable record;
    EXPECT_HR(S_OK, store.Variables().GetVariableAt(store.Variables().FindById(id), &record));
    return record;
}

void PrintTo(const RecordSnapshot& record, std::ostream* os) {
    *os << "{id " << record.id << ", type 0x" << std::hex << record.type << ", access 0x" << record.access
        << std::dec << ", " << record.value.size() << " value bytes}";
}

}  // namespace dtmtest
