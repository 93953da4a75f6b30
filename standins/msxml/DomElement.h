#pragma once
// CDomElement: an element node object (IXMLDOMElement). Shape and lifetime: see NodeAccess.
#include <windows.h>

#include <msxml2.h>

#include "classlib/ComObject.h"
#include "standins/msxml/DomNodeImpl.h"

namespace msxml_standin {

class CDomElement final : public ql::ComObjectBase<CDomElement>, public DomNodeImpl<IXMLDOMElement> {
    QL_INTERFACE_TABLE(CDomElement, QL_ENTRY_IID(IID_IXMLDOMElement, IXMLDOMElement),
                       QL_ENTRY_IID(IID_IXMLDOMNode, IXMLDOMElement),
                       QL_ENTRY_IID(IID_IDispatch, IXMLDOMElement))
public:
    CDomElement(CDomDocument& owner, std::shared_ptr<msxml_core::Tree> tree, msxml_core::Node& node) noexcept
        : DomNodeImpl(owner, std::move(tree), node) {}

    HRESULT STDMETHODCALLTYPE get_tagName(BSTR* out) noexcept override;
    HRESULT STDMETHODCALLTYPE getAttribute(BSTR name, VARIANT* value) noexcept override;
    HRESULT STDMETHODCALLTYPE setAttribute(BSTR name, VARIANT value) noexcept override;
    HRESULT STDMETHODCALLTYPE removeAttribute(BSTR name) noexcept override;
    HRESULT STDMETHODCALLTYPE getAttributeNode(BSTR name, IXMLDOMAttribute** out) noexcept override;
    HRESULT STDMETHODCALLTYPE setAttributeNode(IXMLDOMAttribute* attribute,
                                               IXMLDOMAttribute** replaced) noexcept override;
    HRESULT STDMETHODCALLTYPE removeAttributeNode(IXMLDOMAttribute* attribute,
                                                  IXMLDOMAttribute** removed) noexcept override;
    HRESULT STDMETHODCALLTYPE getElementsByTagName(BSTR tagName, IXMLDOMNodeList** out) noexcept override;
    HRESULT STDMETHODCALLTYPE normalize() noexcept override;
};

}  // namespace msxml_standin
