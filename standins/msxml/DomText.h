#pragma once
// CDomText: a text node object (IXMLDOMText). Shape and lifetime: see NodeAccess.
#include <windows.h>

#include <msxml2.h>

#include "classlib/ComObject.h"
#include "standins/msxml/DomCharacterDataImpl.h"

namespace msxml_standin {

class CDomText final : public ql::ComObjectBase<CDomText>, public DomCharacterDataImpl<IXMLDOMText> {
    QL_INTERFACE_TABLE(CDomText, QL_ENTRY_IID(IID_IXMLDOMText, IXMLDOMText),
                       QL_ENTRY_IID(IID_IXMLDOMCharacterData, IXMLDOMText),
                       QL_ENTRY_IID(IID_IXMLDOMNode, IXMLDOMText), QL_ENTRY_IID(IID_IDispatch, IXMLDOMText))
public:
    CDomText(CDomDocument& owner, std::shared_ptr<msxml_core::Tree> tree, msxml_core::Node& node) noexcept
        : DomCharacterDataImpl(owner, std::move(tree), node) {}

    HRESULT STDMETHODCALLTYPE splitText(LONG offset, IXMLDOMText** out) noexcept override;
};

}  // namespace msxml_standin
