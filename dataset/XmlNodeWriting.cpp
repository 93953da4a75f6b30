#include "dataset/XmlNodeWriting.h"

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"

HRESULT AppendChildElement(IXMLDOMDocument* document, IXMLDOMNode* parent, BSTR name, BSTR namespaceUri,
                           IXMLDOMNode** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    QL_RETURN_HR_IF(E_POINTER, !document || !parent);
    QL_RETURN_HR_IF(E_INVALIDARG, ::SysStringLen(name) == 0 || namespaceUri == nullptr);

    ql::Variant elementType;
    elementType.SetI4(NODE_ELEMENT);
    ql::ComPtr<IXMLDOMNode> element;
    const HRESULT created = document->createNode(*elementType.Get(), name, namespaceUri, element.Put());
    if (created != S_OK) return created;
    QL_RETURN_HR_IF(E_POINTER, !element);

    ql::ComPtr<IXMLDOMNode> appended;
    QL_RETURN_IF_FAILED(parent->appendChild(element.Get(), appended.Put()));
    QL_RETURN_HR_IF(E_POINTER, !appended);
    *out = appended.Detach();
    return S_OK;
}

HRESULT SetNodeAttribute(IXMLDOMDocument* document, IXMLDOMNode* element, BSTR name,
                         const VARIANT& value) noexcept {
    QL_RETURN_HR_IF(E_POINTER, !document || !element);
    ql::ComPtr<IXMLDOMNamedNodeMap> attributes;
    QL_RETURN_IF_FAILED(element->get_attributes(attributes.Put()));
    QL_RETURN_HR_IF(E_FAIL, !attributes);

    ql::ComPtr<IXMLDOMAttribute> attribute;
    QL_RETURN_IF_FAILED(document->createAttribute(name, attribute.Put()));
    QL_RETURN_HR_IF(E_FAIL, !attribute);
    QL_RETURN_IF_FAILED(attribute->put_nodeValue(value));

    ql::ComPtr<IXMLDOMNode> replaced;
    return attributes->setNamedItem(attribute.Get(), replaced.Put());
}

HRESULT SetNodeAttributeText(IXMLDOMDocument* document, IXMLDOMNode* element, const wchar_t* name,
                             const wchar_t* text) noexcept {
    ql::Bstr attributeName(name);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, attributeName.IsNull());
    ql::Variant value;
    QL_RETURN_IF_FAILED(value.SetBstr(text));
    return SetNodeAttribute(document, element, attributeName.Get(), *value.Get());
}
