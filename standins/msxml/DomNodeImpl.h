#pragma once
// The IXMLDOMNode part of every node object (and of the document object), for an interface derived from
// IXMLDOMNode: each member forwards to the object's NodeAccess, so the behaviour lives in one place.
#include <windows.h>

#include <msxml2.h>

#include <memory>

#include "standins/common/DispatchStub.h"
#include "standins/msxml/NodeAccess.h"

namespace msxml_standin {

template <class NodeInterface>
class DomNodeImpl : public standins::DispatchStub<NodeInterface> {
public:
    NodeAccess& Access() noexcept { return access_; }

    HRESULT STDMETHODCALLTYPE get_nodeName(BSTR* out) noexcept override { return access_.GetNodeName(out); }
    HRESULT STDMETHODCALLTYPE get_nodeValue(VARIANT* out) noexcept override {
        return access_.GetNodeValue(out);
    }
    HRESULT STDMETHODCALLTYPE put_nodeValue(VARIANT value) noexcept override {
        return access_.PutNodeValue(value);
    }
    HRESULT STDMETHODCALLTYPE get_nodeType(DOMNodeType* out) noexcept override {
        return access_.GetNodeType(out);
    }
    HRESULT STDMETHODCALLTYPE get_parentNode(IXMLDOMNode** out) noexcept override {
        return access_.GetParentNode(out);
    }
    HRESULT STDMETHODCALLTYPE get_childNodes(IXMLDOMNodeList** out) noexcept override {
        return access_.GetChildNodes(out);
    }
    HRESULT STDMETHODCALLTYPE get_firstChild(IXMLDOMNode** out) noexcept override {
        return access_.GetFirstChild(out);
    }
    HRESULT STDMETHODCALLTYPE get_lastChild(IXMLDOMNode** out) noexcept override {
        return access_.GetLastChild(out);
    }
    HRESULT STDMETHODCALLTYPE get_previousSibling(IXMLDOMNode** out) noexcept override {
        return access_.GetPreviousSibling(out);
    }
    HRESULT STDMETHODCALLTYPE get_nextSibling(IXMLDOMNode** out) noexcept override {
        return access_.GetNextSibling(out);
    }
    HRESULT STDMETHODCALLTYPE get_attributes(IXMLDOMNamedNodeMap** out) noexcept override {
        return access_.GetAttributes(out);
    }
    HRESULT STDMETHODCALLTYPE insertBefore(IXMLDOMNode* newChild, VARIANT reference,
                                           IXMLDOMNode** out) noexcept override {
        return access_.InsertBefore(newChild, reference, out);
    }
    HRESULT STDMETHODCALLTYPE replaceChild(IXMLDOMNode* newChild, IXMLDOMNode* oldChild,
                                           IXMLDOMNode** out) noexcept override {
        return access_.ReplaceChild(newChild, oldChild, out);
    }
    HRESULT STDMETHODCALLTYPE removeChild(IXMLDOMNode* child, IXMLDOMNode** out) noexcept override {
        return access_.RemoveChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE appendChild(IXMLDOMNode* newChild, IXMLDOMNode** out) noexcept override {
        return access_.AppendChild(newChild, out);
    }
    HRESULT STDMETHODCALLTYPE hasChildNodes(VARIANT_BOOL* out) noexcept override {
        return access_.GetHasChildNodes(out);
    }
    HRESULT STDMETHODCALLTYPE get_ownerDocument(IXMLDOMDocument** out) noexcept override {
        return access_.GetOwnerDocument(out);
    }
    HRESULT STDMETHODCALLTYPE cloneNode(VARIANT_BOOL deep, IXMLDOMNode** out) noexcept override {
        return access_.CloneNode(deep, out);
    }
    HRESULT STDMETHODCALLTYPE get_nodeTypeString(BSTR* out) noexcept override {
        return access_.GetNodeTypeString(out);
    }
    HRESULT STDMETHODCALLTYPE get_text(BSTR* out) noexcept override { return access_.GetText(out); }
    HRESULT STDMETHODCALLTYPE put_text(BSTR text) noexcept override { return access_.PutText(text); }
    HRESULT STDMETHODCALLTYPE get_specified(VARIANT_BOOL* out) noexcept override {
        return access_.GetSpecified(out);
    }
    HRESULT STDMETHODCALLTYPE get_definition(IXMLDOMNode** out) noexcept override {
        QL_RETURN_IF_NULL_OUT(out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_nodeTypedValue(VARIANT* out) noexcept override {
        return access_.GetNodeTypedValue(out);
    }
    HRESULT STDMETHODCALLTYPE put_nodeTypedValue(VARIANT value) noexcept override {
        return access_.PutNodeTypedValue(value);
    }
    HRESULT STDMETHODCALLTYPE get_dataType(VARIANT* out) noexcept override {
        return access_.GetDataType(out);
    }
    HRESULT STDMETHODCALLTYPE put_dataType(BSTR name) noexcept override { return access_.PutDataType(name); }
    HRESULT STDMETHODCALLTYPE get_xml(BSTR* out) noexcept override { return access_.GetXml(out); }
    HRESULT STDMETHODCALLTYPE transformNode(IXMLDOMNode*, BSTR* out) noexcept override {
        QL_RETURN_IF_NULL_OUT(out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE selectNodes(BSTR expression, IXMLDOMNodeList** out) noexcept override {
        return access_.SelectNodes(expression, out);
    }
    HRESULT STDMETHODCALLTYPE selectSingleNode(BSTR expression, IXMLDOMNode** out) noexcept override {
        return access_.SelectSingleNode(expression, out);
    }
    HRESULT STDMETHODCALLTYPE get_parsed(VARIANT_BOOL* out) noexcept override {
        QL_RETURN_IF_NULL_OUT(out);
        *out = VARIANT_TRUE;  // loads are synchronous: every node is parsed once it exists
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_namespaceURI(BSTR* out) noexcept override {
        return access_.GetNamespaceUri(out);
    }
    HRESULT STDMETHODCALLTYPE get_prefix(BSTR* out) noexcept override { return access_.GetPrefix(out); }
    HRESULT STDMETHODCALLTYPE get_baseName(BSTR* out) noexcept override { return access_.GetBaseName(out); }
    HRESULT STDMETHODCALLTYPE transformNodeToObject(IXMLDOMNode*, VARIANT) noexcept override {
        return E_NOTIMPL;
    }

protected:
    // A node object.
    DomNodeImpl(CDomDocument& owner, std::shared_ptr<msxml_core::Tree> tree, msxml_core::Node& node) noexcept
        : access_(owner, std::move(tree), node, static_cast<IXMLDOMNode*>(this)) {}
    // The document object.
    explicit DomNodeImpl(CDomDocument& self) noexcept : access_(self) {}
    ~DomNodeImpl() = default;

    NodeAccess access_;
};

}  // namespace msxml_standin
