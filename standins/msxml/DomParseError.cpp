#include "standins/msxml/DomParseError.h"

#include "classlib/HResult.h"
#include "standins/msxml/XmlText.h"

namespace msxml_standin {

HRESULT CDomParseError::Create(const msxml_core::ParseError& error, IXMLDOMParseError** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return ql::GuardComCall([&]() -> HRESULT {
        ql::ComPtr<CDomParseError> object;
        QL_RETURN_IF_FAILED(ql::MakeObject(object, error));
        *out = object.Detach();
        return S_OK;
    });
}

HRESULT CDomParseError::Number(long value, LONG* out) const noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = static_cast<LONG>(value);
    return error_.Failed() ? S_OK : S_FALSE;
}

HRESULT CDomParseError::get_errorCode(LONG* out) noexcept {
    return Number(static_cast<long>(error_.errorCode), out);
}

HRESULT CDomParseError::get_url(BSTR* out) noexcept { return BstrOrNullFromXml(error_.url, out); }

HRESULT CDomParseError::get_reason(BSTR* out) noexcept { return BstrOrNullFromXml(error_.reason, out); }

HRESULT CDomParseError::get_srcText(BSTR* out) noexcept { return BstrOrNullFromXml(error_.srcText, out); }

HRESULT CDomParseError::get_line(LONG* out) noexcept { return Number(error_.line, out); }

HRESULT CDomParseError::get_linepos(LONG* out) noexcept { return Number(error_.linepos, out); }

HRESULT CDomParseError::get_filepos(LONG* out) noexcept { return Number(error_.filepos, out); }

}  // namespace msxml_standin
