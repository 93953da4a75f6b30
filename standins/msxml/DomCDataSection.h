#pragma once
// CDomCDataSection: a CDATA section node object (IXMLDOMCDATASection). Shape and lifetime: see NodeAccess.
#include <windows.h>

#include <msxml2.h>

#include "classlib/ComObject.h"
#include "standins/msxml/DomCharacterDataImpl.h"

namespace msxml_standin {

class CDomCDataSection final : public ql::ComObjectBase<CDomCDataSection>,
                               public DomCharacterDataImpl<IXMLDOMCDATASection> {
    QL_INTERFACE_TABLE(CDomCDataSection, QL_ENTRY_IID(IID_IXMLDOMCDATASection, IXMLDOMCDATASection),
                       QL_ENTRY_IID(IID_IXMLDOMText, IXMLDOMCDATASection),
                       QL_ENTRY_IID(IID_IXMLDOMCharacterData, IXMLDOMCDATASection),
                       QL_ENTRY_IID(IID_IXMLDOMNode, IXMLDOMCDATASection),
                       QL_ENTRY_IID(IID_IDispatch, IXMLDOMCDATASection))
public:
    CDomCDataSection(CDomDocument& owner, std::shared_ptr<msxml_core::Tree> tree,
                     msxml_core::Node& node) noexcept
        : DomCharacterDataImpl(owner, std::move(tree), node) {}

    HRESULT STDMETHODCALLTYPE splitText(LONG offset, IXMLDOMText** out) noexcept override;
};

}  // namespace msxml_standin
