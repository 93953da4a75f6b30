#include "standins/msxml/TypedVariant.h"

#include <cstdio>

#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "standins/msxml/XmlText.h"

namespace msxml_standin {

using msxml_core::DataType;
using msxml_core::TypedValue;

namespace {

// Numbers are written with a decimal point whatever the user's locale, as XML data types want them.
constexpr LCID kInvariantNumbers = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

HRESULT ByteArrayVariant(const std::vector<uint8_t>& bytes, ql::Variant& out) noexcept {
    ql::SafeArray array;
    QL_RETURN_IF_FAILED(array.Create(VT_UI1, static_cast<ULONG>(bytes.size())));
    if (!bytes.empty()) {
        ql::SafeArrayData<uint8_t> data(array.Get());
        QL_RETURN_IF_FAILED(data.Status());
        for (size_t i = 0; i < bytes.size(); ++i) data[i] = bytes[i];
    }
    out.AttachArray(VT_UI1, array.Detach());
    return S_OK;
}

HRESULT BytesFromVariant(const VARIANT& value, std::vector<uint8_t>& bytes) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        bytes.clear();
        SAFEARRAY* array = V_ARRAY(&value);
        QL_RETURN_HR_IF(E_INVALIDARG, array == nullptr || !ql::HoldsBytes(*array) || array->cDims != 1);
        LONG lower = 0, upper = -1;
        QL_RETURN_IF_FAILED(::SafeArrayGetLBound(array, 1, &lower));
        QL_RETURN_IF_FAILED(::SafeArrayGetUBound(array, 1, &upper));
        if (upper < lower) return S_OK;
        ql::SafeArrayData<uint8_t> data(array);
        QL_RETURN_IF_FAILED(data.Status());
        bytes.assign(data.Data(), data.Data() + (upper - lower + 1));
        return S_OK;
    });
}

std::wstring HexDigits(const std::vector<uint8_t>& bytes) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text;
    text.reserve(bytes.size() * 2);
    for (uint8_t byte : bytes) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
    return text;
}

std::wstring Base64Digits(const std::vector<uint8_t>& bytes) {
    static const wchar_t kDigits[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::wstring text;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t chunk = (uint32_t{bytes[i]} << 16) |
                               (i + 1 < bytes.size() ? uint32_t{bytes[i + 1]} << 8 : 0) |
                               (i + 2 < bytes.size() ? uint32_t{bytes[i + 2]} : 0);
        text.push_back(kDigits[(chunk >> 18) & 0x3F]);
        text.push_back(kDigits[(chunk >> 12) & 0x3F]);
        text.push_back(i + 1 < bytes.size() ? kDigits[(chunk >> 6) & 0x3F] : L'=');
        text.push_back(i + 2 < bytes.size() ? kDigits[chunk & 0x3F] : L'=');
    }
    return text;
}

bool IsDateType(DataType type) {
    return type == DataType::DateTime || type == DataType::DateTimeTz || type == DataType::Date ||
           type == DataType::Time || type == DataType::TimeTz;
}

HRESULT IsoDateText(DataType type, const VARIANT& value, std::wstring& text) noexcept {
    ql::Variant date;
    QL_RETURN_IF_FAILED(date.CopyFrom(value));
    QL_RETURN_IF_FAILED(date.ChangeType(VT_DATE, kInvariantNumbers));
    SYSTEMTIME time = {};
    QL_RETURN_HR_IF(E_INVALIDARG, !::VariantTimeToSystemTime(V_DATE(date.Get()), &time));
    wchar_t buffer[32] = {};
    if (type == DataType::Date) {
        swprintf(buffer, 32, L"%04u-%02u-%02u", time.wYear, time.wMonth, time.wDay);
    } else if (type == DataType::Time || type == DataType::TimeTz) {
        swprintf(buffer, 32, L"%02u:%02u:%02u", time.wHour, time.wMinute, time.wSecond);
    } else {
        swprintf(buffer, 32, L"%04u-%02u-%02uT%02u:%02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour,
                 time.wMinute, time.wSecond);
    }
    text = buffer;
    return S_OK;
}

}  // namespace

HRESULT VariantFromTypedValue(const TypedValue& value, VARIANT* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    ::VariantInit(out);
    ql::Variant result;
    switch (value.kind) {
        case TypedValue::Kind::Null:
            result.Put()->vt = VT_NULL;
            break;
        case TypedValue::Kind::String:
            return VariantFromXml(value.text, out);
        case TypedValue::Kind::Bytes:
            QL_RETURN_IF_FAILED(ByteArrayVariant(value.bytes, result));
            break;
        case TypedValue::Kind::I1:
            result.Put()->vt = VT_I1;
            V_I1(result.Get()) = static_cast<CHAR>(value.integer);
            break;
        case TypedValue::Kind::I2:
            result.SetI2(static_cast<SHORT>(value.integer));
            break;
        case TypedValue::Kind::I4:
            result.SetI4(static_cast<LONG>(value.integer));
            break;
        case TypedValue::Kind::I8:
            result.Put()->vt = VT_I8;
            V_I8(result.Get()) = value.integer;
            break;
        case TypedValue::Kind::UI1:
            result.SetUI1(static_cast<BYTE>(value.unsignedInteger));
            break;
        case TypedValue::Kind::UI2:
            result.Put()->vt = VT_UI2;
            V_UI2(result.Get()) = static_cast<USHORT>(value.unsignedInteger);
            break;
        case TypedValue::Kind::UI4:
            result.SetUI4(static_cast<ULONG>(value.unsignedInteger));
            break;
        case TypedValue::Kind::UI8:
            result.Put()->vt = VT_UI8;
            V_UI8(result.Get()) = value.unsignedInteger;
            break;
        case TypedValue::Kind::R4:
            result.SetR4(static_cast<FLOAT>(value.real));
            break;
        case TypedValue::Kind::R8:
            result.SetR8(value.real);
            break;
        case TypedValue::Kind::Bool:
            result.SetBool(value.boolean);
            break;
        case TypedValue::Kind::Date:
            result.Put()->vt = VT_DATE;
            V_DATE(result.Get()) = value.real;
            break;
        case TypedValue::Kind::Currency:
            result.Put()->vt = VT_CY;
            V_CY(result.Get()).int64 = value.integer;
            break;
    }
    return result.Detach(out);
}

HRESULT TextFromTypedVariant(DataType type, const VARIANT& value, std::wstring& text) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        text.clear();
        const VARTYPE vt = V_VT(&value);
        if (vt == (VT_ARRAY | VT_UI1) && (type == DataType::BinHex || type == DataType::BinBase64)) {
            std::vector<uint8_t> bytes;
            QL_RETURN_IF_FAILED(BytesFromVariant(value, bytes));
            text = type == DataType::BinHex ? HexDigits(bytes) : Base64Digits(bytes);
            return S_OK;
        }
        if (type == DataType::Boolean && vt != VT_BSTR) {
            ql::Variant flag;
            QL_RETURN_IF_FAILED(flag.CopyFrom(value));
            QL_RETURN_IF_FAILED(flag.ChangeType(VT_BOOL));
            text = V_BOOL(flag.Get()) ? L"1" : L"0";
            return S_OK;
        }
        if (IsDateType(type) && vt != VT_BSTR) return IsoDateText(type, value, text);
        return TextFromVariant(value, kInvariantNumbers, text);
    });
}

}  // namespace msxml_standin
