#include "values/XmlText.h"

#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "values/XmlClassObjects.h"

namespace {

constexpr DWORD kAnyServer =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

constexpr wchar_t kAttributeName[] = L"test";

// The attribute's value as the DOM writes it: between the first double quote of the attribute's XML text
// (name="value") and the next one.
std::wstring_view QuotedValue(std::wstring_view xml) noexcept {
    const size_t open = xml.find(L'"');
    if (open == std::wstring_view::npos) return {};
    const std::wstring_view rest = xml.substr(open + 1);
    return rest.substr(0, rest.find(L'"'));
}

HRESULT EscapeThroughAttribute(const OLECHAR* text, XmlDocumentFactory makeDocument,
                               ql::Bstr& escaped) noexcept {
    QL_RETURN_HR_IF(E_POINTER, !makeDocument);
    ql::ComPtr<IXMLDOMDocument> document;
    QL_RETURN_IF_FAILED(makeDocument(document.Put()));
    QL_RETURN_HR_IF(E_FAIL, !document);
    ql::Bstr name;
    QL_RETURN_IF_FAILED(name.Assign(kAttributeName));
    ql::ComPtr<IXMLDOMAttribute> attribute;
    QL_RETURN_IF_FAILED(document->createAttribute(name.Get(), attribute.Put()));
    QL_RETURN_HR_IF(E_FAIL, !attribute);
    ql::Variant value;
    QL_RETURN_IF_FAILED(value.SetBstr(text));
    // A value the DOM refuses leaves the attribute empty, and the escaped text is then empty too.
    (void)attribute->put_nodeValue(*value.Get());
    ql::Bstr xml;
    QL_RETURN_IF_FAILED(attribute->get_xml(xml.Put()));
    QL_RETURN_HR_IF(E_FAIL, xml.IsNull());
    return escaped.Assign(QuotedValue(xml.View()));
}

}  // namespace

HRESULT CreateXmlDomDocument(IXMLDOMDocument** document) noexcept {
    QL_RETURN_IF_NULL_OUT(document);
    *document = nullptr;
    return CreateXmlObject(CLSID_DOMDocument, kAnyServer, IID_IXMLDOMDocument2,
                           reinterpret_cast<void**>(document));
}

HRESULT ParseXmlForm(BSTR xml, IXMLDOMDocument** document) noexcept {
    QL_RETURN_IF_NULL_OUT(document);
    *document = nullptr;
    ql::ComPtr<IXMLDOMDocument> parsed;
    QL_RETURN_IF_FAILED(CreateXmlDomDocument(parsed.Put()));
    QL_RETURN_HR_IF(E_FAIL, !parsed);
    QL_RETURN_IF_FAILED(parsed->put_async(VARIANT_FALSE));
    // Only the form is judged: the x-schema namespaces of FDT documents must not be looked for.
    QL_RETURN_IF_FAILED(parsed->put_validateOnParse(VARIANT_FALSE));
    QL_RETURN_IF_FAILED(parsed->put_resolveExternals(VARIANT_FALSE));
    QL_RETURN_IF_FAILED(parsed->put_preserveWhiteSpace(VARIANT_TRUE));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(parsed->loadXML(xml, &loaded));
    if (loaded != VARIANT_TRUE) return S_FALSE;
    *document = parsed.Detach();
    return S_OK;
}

HRESULT EscapeXmlText(const OLECHAR* text, BSTR* escaped, XmlDocumentFactory makeDocument) noexcept {
    QL_RETURN_IF_NULL_OUT(escaped);
    ql::Bstr result;
    const HRESULT hr = EscapeThroughAttribute(text, makeDocument, result);
    if (FAILED(hr)) {
        ql::Bstr empty;
        QL_RETURN_IF_FAILED(empty.Assign(std::wstring_view()));
        *escaped = empty.Detach();
        return hr;
    }
    *escaped = result.Detach();
    return S_OK;
}
