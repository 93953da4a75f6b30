#include "dataset/ParameterListText.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "values/AnsiText.h"
#include "values/DisplayText.h"
#include "values/HexText.h"
#include "values/VariantConversion.h"

namespace {

HRESULT WidenAnsi(const char* text, std::wstring& out) noexcept {
    ql::Bstr wide;
    QL_RETURN_IF_FAILED(AnsiToBstr(text, wide));
    return ql::GuardComCall([&]() -> HRESULT {
        out.assign(wide.View());
        return S_OK;
    });
}

// The list's numbers are written and read in one form, whatever the user's or the C runtime's locale: a
// point before the decimals, no grouping. std::to_chars and std::from_chars never look at a locale.
template <class Number>
bool ReadNumber(std::string_view text, Number& number) noexcept {
    if (text.empty()) return false;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    return error == std::errc() && stop == end;
}

template <class Real>
bool ReadsBackAs(const char* begin, const char* end, Real number) noexcept {
    Real read = 0;
    return ReadNumber(std::string_view(begin, static_cast<size_t>(end - begin)), read) && read == number;
}

// Six decimals as the list has always written them, unless they lose the number; then the shortest text
// that reads back as the same number. Not a number and the infinities come out as "nan" and "inf", which
// the import refuses, so the record keeps its value.
template <class Real>
HRESULT RealText(Real number, std::wstring& text) noexcept {
    char buffer[kDisplayTextSize];
    char* const last = buffer + sizeof buffer;
    auto written = std::to_chars(buffer, last, number, std::chars_format::fixed, 6);
    if (written.ec != std::errc() || !ReadsBackAs(buffer, written.ptr, number))
        written = std::to_chars(buffer, last, number);
    QL_RETURN_HR_IF(E_FAIL, written.ec != std::errc());
    return ql::GuardComCall([&]() -> HRESULT {
        text.assign(buffer, written.ptr);
        return S_OK;
    });
}

struct IntegerRange {
    VARTYPE type;
    LONGLONG lowest;
    LONGLONG highest;
};

constexpr IntegerRange kIntegerRanges[] = {
    {VT_I1, -128, 127}, {VT_I2, -32768, 32767}, {VT_I4, -2147483647LL - 1, 2147483647LL},
    {VT_UI1, 0, 0xFF},  {VT_UI2, 0, 0xFFFF},    {VT_UI4, 0, 0xFFFFFFFFLL},
};

// An integer of `type` from its text; false when the text is not a whole number in the type's range.
bool ReadInteger(std::string_view text, VARTYPE type, ql::Variant& value) noexcept {
    LONGLONG number = 0;
    if (!ReadNumber(text, number)) return false;
    for (const IntegerRange& range : kIntegerRanges) {
        if (range.type != type) continue;
        if (number < range.lowest || number > range.highest) return false;
        // In range, so the platform's integer conversion is exact and has nothing to read.
        if (number < 0) {
            value.SetI4(static_cast<LONG>(number));
        } else {
            value.SetUI4(static_cast<ULONG>(number));
        }
        return SUCCEEDED(value.ChangeType(type)) && value.Type() == type;
    }
    return false;
}

template <class Real>
bool ReadReal(std::string_view text, Real& number) noexcept {
    return ReadNumber(text, number) && std::isfinite(number);
}

}  // namespace

HRESULT ParameterListTypeName(VARTYPE type, std::wstring& name) noexcept {
    char text[kVarTypeTextSize];
    VarTypeToString(type, text);
    return WidenAnsi(text, name);
}

HRESULT ParameterListValueText(const VARIANT& value, std::wstring& text) noexcept {
    switch (V_VT(&value)) {
        case VT_BSTR:
            return ql::GuardComCall([&]() -> HRESULT {
                const BSTR string = V_BSTR(&value);
                text.assign(string ? string : L"", ::SysStringLen(string));
                return S_OK;
            });
        case kByteArrayType: {
            ql::Bstr hex;
            QL_RETURN_IF_FAILED(BytesToHexBstr(&value, hex.Put(), FALSE));
            return ql::GuardComCall([&]() -> HRESULT {
                text.assign(hex.View());
                return S_OK;
            });
        }
        case VT_R4:
            return RealText(value.fltVal, text);
        case VT_R8:
            return RealText(value.dblVal, text);
        default: {
            char display[kDisplayTextSize];
            VariantToDisplayString(&value, display);
            return WidenAnsi(display, text);
        }
    }
}

HRESULT ParameterListReadValue(std::wstring_view text, VARTYPE type, ql::Variant& value) noexcept {
    if (type == VT_BSTR) return value.SetBstr(std::wstring(text).c_str());
    if (type == kByteArrayType) {
        // Two hexadecimal digits per byte, nothing else.
        ql::Variant hex;
        QL_RETURN_IF_FAILED(hex.SetBstr(std::wstring(text).c_str()));
        ql::Variant bytes;
        QL_RETURN_IF_FAILED(ConvertVariantType(bytes.Get(), hex.Get(), kByteArrayType, 0, 0));
        value = std::move(bytes);
        return S_OK;
    }
    // An empty value is 0, as the value conversion reads an empty text for a number; a list written by
    // another tool leaves a number it does not know empty.
    if (text.empty()) text = L"0";
    // Numbers are plain ASCII: anything else cannot be a number of the list.
    std::string narrow;
    QL_RETURN_IF_FAILED(ql::GuardComCall([&]() -> HRESULT {
        for (wchar_t c : text) {
            if (c > 0x7F) return DISP_E_TYPEMISMATCH;
            narrow.push_back(static_cast<char>(c));
        }
        return S_OK;
    }));
    ql::Variant read;
    if (type == VT_R4) {
        float number = 0;
        QL_RETURN_HR_IF(DISP_E_TYPEMISMATCH, !ReadReal(narrow, number));
        read.SetR4(number);
    } else if (type == VT_R8) {
        double number = 0;
        QL_RETURN_HR_IF(DISP_E_TYPEMISMATCH, !ReadReal(narrow, number));
        read.SetR8(number);
    } else {
        QL_RETURN_HR_IF(DISP_E_TYPEMISMATCH, !ReadInteger(narrow, type, read));
    }
    value = std::move(read);
    return S_OK;
}
