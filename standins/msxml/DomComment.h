#pragma once
// CDomComment: a comment node object (IXMLDOMComment). Shape and lifetime: see NodeAccess.
#include <windows.h>

#include <msxml2.h>

#include "classlib/ComObject.h"
#include "standins/msxml/DomCharacterDataImpl.h"

namespace msxml_standin {

class CDomComment final : public ql::ComObjectBase<CDomComment>, public DomCharacterDataImpl<IXMLDOMComment> {
    QL_INTERFACE_TABLE(CDomComment, QL_ENTRY_IID(IID_IXMLDOMComment, IXMLDOMComment),
                       QL_ENTRY_IID(IID_IXMLDOMCharacterData, IXMLDOMComment),
                       QL_ENTRY_IID(IID_IXMLDOMNode, IXMLDOMComment),
                       QL_ENTRY_IID(IID_IDispatch, IXMLDOMComment))
public:
    CDomComment(CDomDocument& owner, std::shared_ptr<msxml_core::Tree> tree, msxml_core::Node& node) noexcept
        : DomCharacterDataImpl(owner, std::move(tree), node) {}
};

}  // namespace msxml_standin
