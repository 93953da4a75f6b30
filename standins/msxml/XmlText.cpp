#include "standins/msxml/XmlText.h"

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"

namespace msxml_standin {

msxml_core::XmlStringView XmlFromBstr(BSTR text) noexcept {
    if (!text) return {};
    return {reinterpret_cast<const char16_t*>(text), ::SysStringLen(text)};
}

msxml_core::XmlStringView XmlFromWide(std::wstring_view text) noexcept {
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

std::wstring_view WideFromXml(msxml_core::XmlStringView text) noexcept {
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

HRESULT BstrFromXml(msxml_core::XmlStringView text, BSTR* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    ql::Bstr result;
    QL_RETURN_IF_FAILED(result.Assign(WideFromXml(text)));
    *out = result.Detach();
    return S_OK;
}

HRESULT BstrOrNullFromXml(msxml_core::XmlStringView text, BSTR* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    return BstrFromXml(text, out);
}

HRESULT VariantFromXml(msxml_core::XmlStringView text, VARIANT* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    ::VariantInit(out);
    ql::Bstr result;
    QL_RETURN_IF_FAILED(result.Assign(WideFromXml(text)));
    ql::Variant value;
    value.AttachBstr(result.Detach());
    return value.Detach(out);
}

HRESULT TextFromVariant(const VARIANT& value, LCID lcid, std::wstring& text) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        text.clear();
        if (V_VT(&value) == VT_BSTR) {
            text.assign(WideFromXml(XmlFromBstr(V_BSTR(&value))));
            return S_OK;
        }
        ql::Variant converted;
        QL_RETURN_IF_FAILED(converted.CopyFrom(value));
        QL_RETURN_IF_FAILED(converted.ChangeType(VT_BSTR, lcid));
        text.assign(WideFromXml(XmlFromBstr(V_BSTR(converted.Get()))));
        return S_OK;
    });
}

}  // namespace msxml_standin
