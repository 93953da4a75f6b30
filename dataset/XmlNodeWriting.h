#pragma once
// The two DOM steps every writer of an FDT document takes: append a namespaced element below a node, and
// set an attribute through the document's attribute factory. Stateless; the documents' apartment thread.
#include <windows.h>
#include <msxml2.h>

// Creates an element (node type 1) named `name` (qualified, "fdt:DtmVariables") in `namespaceUri`, appends it
// to `parent` and hands out the appended node (one reference; `*out` is overwritten, not released).
// E_POINTER for a null out pointer, document or parent; E_INVALIDARG for an empty name or a null namespace;
// a creation that answers anything but S_OK is returned unchanged; E_POINTER when the append gives no node.
HRESULT AppendChildElement(IXMLDOMDocument* document, IXMLDOMNode* parent, BSTR name, BSTR namespaceUri,
                           IXMLDOMNode** out) noexcept;

// Creates the attribute `name` with the document, sets its value to `value` and puts it into the element's
// attribute map (adding or replacing). E_POINTER for a null document or element; E_FAIL when the element
// has no attribute map or no attribute could be made; other failures unchanged.
HRESULT SetNodeAttribute(IXMLDOMDocument* document, IXMLDOMNode* element, BSTR name,
                         const VARIANT& value) noexcept;
// The same with a text value.
HRESULT SetNodeAttributeText(IXMLDOMDocument* document, IXMLDOMNode* element, const wchar_t* name,
                             const wchar_t* text) noexcept;
