#pragma once
// Reading parameter values back from a parameter document the frame hands to SetParameters: the typed
// value fdt:Variant (its dataType keyword and data element, as ParameterValueXml.h writes them) and the
// value of one fdt:DtmVariable by the record's ExportKind. Apartment thread of the document.
#include <windows.h>
#include <msxml2.h>

#include "classlib/Variant.h"
#include "dataset/QuelkVariable.h"

// One typed value from an fdt:Variant node: "byte", "int", "unsigned", "float", "double" read
// fdt:NumberData/@number, "dateAndTime" fdt:TimeData/@time, "ascii" and "hexString" fdt:StringData/@string
// (a hexadecimal text becomes a byte string, an empty one VT_EMPTY). E_INVALIDARG for a null node or value;
// E_FAIL without @dataType or without the data element; S_FALSE for a keyword it does not know (the value
// untouched); otherwise the read's and the conversion's result. `value` is cleared and replaced on S_OK.
HRESULT ReadVariantElement(IXMLDOMNode* variant, VARIANT* value) noexcept;

// The value an fdt:DtmVariable element gives `record`: ExportKind 2 reads fdt:Value/fdt:Variant with
// ReadVariantElement, ExportKind 1 the text of fdt:Value/fdt:Display/@string converted to the record's
// data type. S_OK with the value; any other result means the element gives the record nothing.
HRESULT ReadExportedValue(IXMLDOMNode* variable, const CQuelkVariable& record, ql::Variant& value) noexcept;
