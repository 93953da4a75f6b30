#pragma once
// CDomProcessingInstruction: a processing-instruction node object (IXMLDOMProcessingInstruction), the XML
// declaration included. Shape and lifetime: see NodeAccess.
#include <windows.h>

#include <msxml2.h>

#include "classlib/ComObject.h"
#include "standins/msxml/CharacterData.h"
#include "standins/msxml/DomNodeImpl.h"

namespace msxml_standin {

class CDomProcessingInstruction final : public ql::ComObjectBase<CDomProcessingInstruction>,
                                        public DomNodeImpl<IXMLDOMProcessingInstruction> {
    QL_INTERFACE_TABLE(CDomProcessingInstruction,
                       QL_ENTRY_IID(IID_IXMLDOMProcessingInstruction, IXMLDOMProcessingInstruction),
                       QL_ENTRY_IID(IID_IXMLDOMNode, IXMLDOMProcessingInstruction),
                       QL_ENTRY_IID(IID_IDispatch, IXMLDOMProcessingInstruction))
public:
    CDomProcessingInstruction(CDomDocument& owner, std::shared_ptr<msxml_core::Tree> tree,
                              msxml_core::Node& node) noexcept
        : DomNodeImpl(owner, std::move(tree), node) {}

    HRESULT STDMETHODCALLTYPE get_target(BSTR* out) noexcept override { return access_.GetNodeName(out); }
    HRESULT STDMETHODCALLTYPE get_data(BSTR* out) noexcept override {
        return CharacterData::GetData(access_, out);
    }
    HRESULT STDMETHODCALLTYPE put_data(BSTR data) noexcept override {
        return CharacterData::PutData(access_, data);
    }
};

}  // namespace msxml_standin
