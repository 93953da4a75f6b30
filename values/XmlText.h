#pragma once
// EscapeXmlText: a text made fit to stand between the double quotes of an XML attribute, in the form the
// XML DOM library writes attribute values (so it holds no ampersand, less-than sign or double quote except
// inside a reference). The DOM document comes from a factory, so tests and other owners can supply their
// own; the system's is the registered MSXML DOMDocument class (the project's stand-in under Wine).
// ParseXmlForm: whether a text is well-formed XML at all, judged by the system's DOM document.
//
// A new document is made for every call; COM must be initialised on the calling thread.
#include <windows.h>

#include <msxml2.h>
#include <oleauto.h>

// Makes the DOM document that an escape writes its attribute into; the caller owns the reference.
using XmlDocumentFactory = HRESULT (*)(IXMLDOMDocument** document);

// The DOMDocument class {F6D90F11-9C73-11D3-B32E-00C04F990BB4} through IXMLDOMDocument2, from any kind of
// server.
HRESULT CreateXmlDomDocument(IXMLDOMDocument** document) noexcept;

// Parses `xml` for its form alone: no validation, no external resources, white space kept as written. S_OK
// with a new document (one reference) for well-formed XML; S_FALSE, *document null, for a text that is not;
// the XML library's failure otherwise. E_POINTER for a null `document`.
HRESULT ParseXmlForm(BSTR xml, IXMLDOMDocument** document) noexcept;

// S_OK with *escaped a new BSTR: `text` (a null text reads as empty) as it stands between the quotes of
// an attribute the DOM writes; an attribute value the DOM refuses leaves it empty. *escaped is written
// without freeing what it held. E_POINTER for a null `escaped`. When no document, attribute or XML text can
// be had, *escaped is an empty BSTR and the failure is returned (callers that ignore it still get a string).
HRESULT EscapeXmlText(const OLECHAR* text, BSTR* escaped,
                      XmlDocumentFactory makeDocument = CreateXmlDomDocument) noexcept;
