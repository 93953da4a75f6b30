#include "standins/msxml/DomNamedNodeMap.h"

#include "classlib/HResult.h"
#include "standins/msxml/AttributeEdit.h"
#include "standins/msxml/DomDocument.h"
#include "standins/msxml/XmlText.h"

namespace msxml_standin {

namespace mc = msxml_core;

HRESULT CDomNamedNodeMap::Create(CDomDocument& owner, const std::shared_ptr<mc::Tree>& tree,
                                 mc::Node& element, IXMLDOMNamedNodeMap** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    ql::ComPtr<IXMLDOMNode> elementObject;
    QL_RETURN_IF_FAILED(owner.WrapNode(tree, &element, elementObject));
    NodeAccess* access = NodeAccessFromUnknown(elementObject.Get());
    QL_RETURN_HR_IF(E_UNEXPECTED, access == nullptr);
    ql::ComPtr<CDomNamedNodeMap> map;
    QL_RETURN_IF_FAILED(ql::MakeObject(map, std::move(elementObject), *access));
    *out = map.Detach();
    return S_OK;
}

CDomNamedNodeMap::CDomNamedNodeMap(ql::ComPtr<IXMLDOMNode> element, NodeAccess& access) noexcept
    : element_(std::move(element)), access_(access) {}

CDomNamedNodeMap::~CDomNamedNodeMap() = default;

HRESULT CDomNamedNodeMap::getNamedItem(BSTR name, IXMLDOMNode** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    QL_RETURN_HR_IF(E_INVALIDARG, name == nullptr);
    return access_.HandOut(access_.Target().FindAttribute(XmlFromBstr(name)), IID_IXMLDOMNode,
                           reinterpret_cast<void**>(out));
}

HRESULT CDomNamedNodeMap::setNamedItem(IXMLDOMNode* item, IXMLDOMNode** out) noexcept {
    if (out) *out = nullptr;
    ql::ComPtr<IXMLDOMNode> replaced;
    QL_RETURN_IF_FAILED(AttributeEdit::SetAttributeNode(access_, item, replaced));
    if (!out) return S_OK;
    return item->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(out));
}

HRESULT CDomNamedNodeMap::HandOutRemoved(mc::Node* attribute, IXMLDOMNode** out) noexcept {
    if (out) *out = nullptr;
    ql::ComPtr<IXMLDOMNode> removed;
    const HRESULT hr = AttributeEdit::RemoveAttribute(access_, attribute, removed);
    if (out) *out = removed.Detach();
    return hr;
}

HRESULT CDomNamedNodeMap::removeNamedItem(BSTR name, IXMLDOMNode** out) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, name == nullptr);
    return HandOutRemoved(access_.Target().FindAttribute(XmlFromBstr(name)), out);
}

HRESULT CDomNamedNodeMap::get_item(LONG index, IXMLDOMNode** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    if (index < 0) return S_FALSE;
    return access_.HandOut(access_.Target().AttributeAt(static_cast<size_t>(index)), IID_IXMLDOMNode,
                           reinterpret_cast<void**>(out));
}

HRESULT CDomNamedNodeMap::get_length(LONG* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = static_cast<LONG>(access_.Target().AttributeCount());
    return S_OK;
}

HRESULT CDomNamedNodeMap::getQualifiedItem(BSTR baseName, BSTR namespaceUri, IXMLDOMNode** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    QL_RETURN_HR_IF(E_INVALIDARG, baseName == nullptr);
    return access_.HandOut(access_.Target().FindAttribute(XmlFromBstr(namespaceUri), XmlFromBstr(baseName)),
                           IID_IXMLDOMNode, reinterpret_cast<void**>(out));
}

HRESULT CDomNamedNodeMap::removeQualifiedItem(BSTR baseName, BSTR namespaceUri, IXMLDOMNode** out) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, baseName == nullptr);
    return HandOutRemoved(access_.Target().FindAttribute(XmlFromBstr(namespaceUri), XmlFromBstr(baseName)),
                          out);
}

HRESULT CDomNamedNodeMap::nextNode(IXMLDOMNode** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    const HRESULT hr = access_.HandOut(access_.Target().AttributeAt(cursor_), IID_IXMLDOMNode,
                                       reinterpret_cast<void**>(out));
    if (hr == S_OK) ++cursor_;
    return hr;
}

HRESULT CDomNamedNodeMap::reset() noexcept {
    cursor_ = 0;
    return S_OK;
}

HRESULT CDomNamedNodeMap::get__newEnum(IUnknown** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

}  // namespace msxml_standin
