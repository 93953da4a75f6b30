#include "dataset/DeviceTypeText.h"

#include <msxml2.h>

#include <string>
#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "values/XmlText.h"

namespace {

// The text is read inside the same namespace declarations the parameter document gives it.
constexpr wchar_t kDocumentHead[] =
    L"<FDT xmlns=\"x-schema:DTMParameterSchema.xml\" xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">";
constexpr wchar_t kDocumentTail[] = L"</FDT>";
constexpr wchar_t kDeviceTypeName[] = L"DtmDeviceType";
constexpr wchar_t kDeviceTypeNamespace[] = L"x-schema:FDTDataTypesSchema.xml";

bool IsWhiteSpace(std::wstring_view text) noexcept {
    return text.find_first_not_of(L" \t\r\n") == std::wstring_view::npos;
}

// Whether `node` may stand beside the device type element: white space only.
bool IsBlank(IXMLDOMNode* node) noexcept {
    DOMNodeType type = NODE_INVALID;
    if (FAILED(node->get_nodeType(&type)) || type != NODE_TEXT) return false;
    ql::Bstr text;
    return SUCCEEDED(node->get_text(text.Put())) && IsWhiteSpace(text.View());
}

bool IsDeviceTypeElement(IXMLDOMNode* node) noexcept {
    DOMNodeType type = NODE_INVALID;
    ql::Bstr name, namespaceUri;
    return SUCCEEDED(node->get_nodeType(&type)) && type == NODE_ELEMENT &&
           SUCCEEDED(node->get_baseName(name.Put())) && name.View() == kDeviceTypeName &&
           SUCCEEDED(node->get_namespaceURI(namespaceUri.Put())) &&
           namespaceUri.View() == kDeviceTypeNamespace;
}

}  // namespace

HRESULT CheckDeviceTypeText(BSTR text) noexcept {
    if (::SysStringLen(text) == 0) return S_OK;
    return ql::GuardComCall([&]() -> HRESULT {
        std::wstring wrapped(kDocumentHead);
        wrapped.append(text, ::SysStringLen(text)).append(kDocumentTail);
        ql::Bstr xml(wrapped);
        QL_RETURN_HR_IF(E_OUTOFMEMORY, xml.IsNull());

        ql::ComPtr<IXMLDOMDocument> document;
        QL_RETURN_IF_FAILED(CreateXmlDomDocument(document.Put()));
        QL_RETURN_HR_IF(E_FAIL, !document);
        QL_RETURN_IF_FAILED(document->put_async(VARIANT_FALSE));
        // Only the form is checked here; the x-schema namespaces must not be looked for.
        QL_RETURN_IF_FAILED(document->put_validateOnParse(VARIANT_FALSE));
        QL_RETURN_IF_FAILED(document->put_resolveExternals(VARIANT_FALSE));
        QL_RETURN_IF_FAILED(document->put_preserveWhiteSpace(VARIANT_TRUE));
        VARIANT_BOOL loaded = VARIANT_FALSE;
        if (FAILED(document->loadXML(xml.Get(), &loaded)) || loaded != VARIANT_TRUE) return E_FAIL;

        ql::ComPtr<IXMLDOMElement> root;
        QL_RETURN_IF_FAILED(document->get_documentElement(root.Put()));
        QL_RETURN_HR_IF(E_FAIL, !root);
        ql::ComPtr<IXMLDOMNode> child;
        QL_RETURN_IF_FAILED(root->get_firstChild(child.Put()));
        int elements = 0;
        while (child) {
            if (IsDeviceTypeElement(child.Get())) {
                ++elements;
            } else if (!IsBlank(child.Get())) {
                return E_FAIL;
            }
            ql::ComPtr<IXMLDOMNode> next;
            QL_RETURN_IF_FAILED(child->get_nextSibling(next.Put()));
            child = std::move(next);
        }
        return elements == 1 ? S_OK : E_FAIL;
    });
}
