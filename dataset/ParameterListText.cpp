#include "dataset/ParameterListText.h"

#include <cstdio>

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

// Whether `text` converts back (as the import converts it) to exactly `value`.
bool ReadsBackAs(const char* text, const VARIANT& value) noexcept {
    ql::Bstr wide;
    if (FAILED(AnsiToBstr(text, wide))) return false;
    ql::Variant textValue;
    textValue.AttachBstr(wide.Detach());
    ql::Variant read;
    if (FAILED(ConvertVariantType(read.Get(), textValue.Get(), V_VT(&value), 0, 0))) return false;
    if (read.Type() != V_VT(&value)) return false;
    return V_VT(&value) == VT_R4 ? read->fltVal == value.fltVal : read->dblVal == value.dblVal;
}

// Six decimals as the list has always written them, unless they lose the number.
HRESULT RealText(const VARIANT& value, std::wstring& text) noexcept {
    const double number = V_VT(&value) == VT_R4 ? static_cast<double>(value.fltVal) : value.dblVal;
    const char* const formats[] = {"%f", V_VT(&value) == VT_R4 ? "%.9g" : "%.17g", "%.17g"};
    char first[kDisplayTextSize] = "";
    for (const char* format : formats) {
        char candidate[kDisplayTextSize];
        std::snprintf(candidate, sizeof candidate, format, number);
        if (!first[0]) std::snprintf(first, sizeof first, "%s", candidate);
        if (ReadsBackAs(candidate, value)) return WidenAnsi(candidate, text);
    }
    // A number no text reads back as (not a number, an infinity): the six-decimal text, which the import
    // refuses, so the record keeps its value.
    return WidenAnsi(first, text);
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
        case VT_R8:
            return RealText(value, text);
        default: {
            char display[kDisplayTextSize];
            VariantToDisplayString(&value, display);
            return WidenAnsi(display, text);
        }
    }
}
