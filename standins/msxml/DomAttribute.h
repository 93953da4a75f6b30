#pragma once
// CDomAttribute: an attribute node object (IXMLDOMAttribute). Shape and lifetime: see NodeAccess.
#include <windows.h>

#include <msxml2.h>

#include "classlib/ComObject.h"
#include "standins/msxml/DomNodeImpl.h"

namespace msxml_standin {

class CDomAttribute final : public ql::ComObjectBase<CDomAttribute>, public DomNodeImpl<IXMLDOMAttribute> {
    QL_INTERFACE_TABLE(CDomAttribute, QL_ENTRY_IID(IID_IXMLDOMAttribute, IXMLDOMAttribute),
                       QL_ENTRY_IID(IID_IXMLDOMNode, IXMLDOMAttribute),
                       QL_ENTRY_IID(IID_IDispatch, IXMLDOMAttribute))
public:
    CDomAttribute(CDomDocument& owner, std::shared_ptr<msxml_core::Tree> tree,
                  msxml_core::Node& node) noexcept
        : DomNodeImpl(owner, std::move(tree), node) {}

    HRESULT STDMETHODCALLTYPE get_name(BSTR* out) noexcept override { return access_.GetNodeName(out); }
    HRESULT STDMETHODCALLTYPE get_value(VARIANT* out) noexcept override { return access_.GetNodeValue(out); }
    HRESULT STDMETHODCALLTYPE put_value(VARIANT value) noexcept override {
        return access_.PutNodeValue(value);
    }
};

}  // namespace msxml_standin
