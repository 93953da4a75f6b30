#pragma once
// Attribute nodes put on and taken off an element: setAttributeNode/removeAttributeNode of IXMLDOMElement and
// setNamedItem/removeNamedItem/removeQualifiedItem of the element's attribute map.
#include <windows.h>

#include <msxml2.h>

#include "classlib/ComPtr.h"
#include "standins/msxml/NodeAccess.h"

namespace msxml_standin {

class AttributeEdit {
public:
    // Puts the attribute node object `attribute` on `element`, replacing the attribute of the same name,
    // which `replaced` receives (null when there was none). An attribute of another document is copied in and
    // its object follows the copy; an attribute that another element holds is refused (E_FAIL).
    static HRESULT SetAttributeNode(NodeAccess& element, IUnknown* attribute,
                                    ql::ComPtr<IXMLDOMNode>& replaced) noexcept;
    // Takes the attribute node object `attribute` off `element`; E_INVALIDARG when it is not one of its
    // attributes.
    static HRESULT RemoveAttributeNode(NodeAccess& element, IUnknown* attribute) noexcept;
    // Takes `attribute` (an attribute of `element`, or null) off and hands its object out in `removed`;
    // S_FALSE and null when there is none.
    static HRESULT RemoveAttribute(NodeAccess& element, msxml_core::Node* attribute,
                                   ql::ComPtr<IXMLDOMNode>& removed) noexcept;
};

}  // namespace msxml_standin
