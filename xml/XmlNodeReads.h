#pragma once
// Reads from a loaded FDT document by XPath (the node's selectSingleNode, so a relative path starts at
// the node). The system reads attribute values and tests element paths for existence. No messages: every
// failure is an HRESULT.
#include <windows.h>
#include <msxml2.h>

// The value of the node that `xpath` selects, converted to `vt` (locale 0, no flags). VT_BSTR reads the
// node's text (nodeValue), every other type its typed value from the schema (nodeTypedValue).
// E_POINTER for a missing node or value, E_INVALIDARG for an empty XPath (value untouched);
// E_FAIL when nothing is selected (value untouched); otherwise the selection's, the read's or the
// conversion's error code, the value then cleared.
HRESULT XmlGetNodeValue(IXMLDOMNode* node, BSTR xpath, VARIANT* value, VARTYPE vt) noexcept;

// 1 when `xpath` selects a node, else 0 (an error of the selection and a bad argument included: callers
// test for non-zero, so nothing but a selected node may answer non-zero).
LONG XmlNodeExists(IXMLDOMNode* node, BSTR xpath) noexcept;

// The text of the node that `xpath` selects. S_OK with `found` false and `text` untouched when nothing
// is selected; S_OK with `found` true and a new string in `text` (which must hold no string on entry:
// it is overwritten, not freed). E_POINTER for a missing node, text or found, E_INVALIDARG for an
// empty XPath, or the read's error code; `found` false in each.
HRESULT XmlGetNodeText(BSTR* text, bool* found, IXMLDOMNode* node, BSTR xpath) noexcept;
