#include "standins/msxml/DomElement.h"

#include <string>

#include "classlib/HResult.h"
#include "standins/msxml/AttributeEdit.h"
#include "standins/msxml/XmlText.h"

namespace msxml_standin {

HRESULT CDomElement::get_tagName(BSTR* out) noexcept { return access_.GetNodeName(out); }

HRESULT CDomElement::getAttribute(BSTR name, VARIANT* value) noexcept {
    QL_RETURN_IF_NULL_OUT(value);
    ::VariantInit(value);
    QL_RETURN_HR_IF(E_INVALIDARG, name == nullptr);
    const msxml_core::Node* attribute = access_.Target().FindAttribute(XmlFromBstr(name));
    if (!attribute) {
        V_VT(value) = VT_NULL;
        return S_FALSE;
    }
    return VariantFromXml(attribute->Value(), value);
}

HRESULT CDomElement::setAttribute(BSTR name, VARIANT value) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, name == nullptr);
    return ql::GuardComCall([&]() -> HRESULT {
        std::wstring text;
        QL_RETURN_IF_FAILED(TextFromVariant(value, LOCALE_USER_DEFAULT, text));
        return HResultFromEdit(
            access_.CoreTree().SetAttribute(access_.Target(), XmlFromBstr(name), XmlFromWide(text)));
    });
}

HRESULT CDomElement::removeAttribute(BSTR name) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, name == nullptr);
    return ql::GuardComCall([&]() -> HRESULT {
        msxml_core::Node& element = access_.Target();
        if (!element.FindAttribute(XmlFromBstr(name))) return S_FALSE;
        return HResultFromEdit(access_.CoreTree().RemoveAttribute(element, XmlFromBstr(name)));
    });
}

HRESULT CDomElement::getAttributeNode(BSTR name, IXMLDOMAttribute** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    QL_RETURN_HR_IF(E_INVALIDARG, name == nullptr);
    return access_.HandOut(access_.Target().FindAttribute(XmlFromBstr(name)), IID_IXMLDOMAttribute,
                           reinterpret_cast<void**>(out));
}

HRESULT CDomElement::setAttributeNode(IXMLDOMAttribute* attribute, IXMLDOMAttribute** replaced) noexcept {
    if (replaced) *replaced = nullptr;
    ql::ComPtr<IXMLDOMNode> previous;
    QL_RETURN_IF_FAILED(AttributeEdit::SetAttributeNode(access_, attribute, previous));
    if (!replaced || !previous) return S_OK;
    return previous.QueryTo(IID_IXMLDOMAttribute, reinterpret_cast<void**>(replaced));
}

HRESULT CDomElement::removeAttributeNode(IXMLDOMAttribute* attribute, IXMLDOMAttribute** removed) noexcept {
    if (removed) *removed = nullptr;
    QL_RETURN_IF_FAILED(AttributeEdit::RemoveAttributeNode(access_, attribute));
    if (!removed) return S_OK;
    return attribute->QueryInterface(IID_IXMLDOMAttribute, reinterpret_cast<void**>(removed));
}

HRESULT CDomElement::getElementsByTagName(BSTR tagName, IXMLDOMNodeList** out) noexcept {
    return access_.ElementsByTagName(tagName, out);
}

HRESULT CDomElement::normalize() noexcept { return E_NOTIMPL; }

}  // namespace msxml_standin
