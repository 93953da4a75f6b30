#pragma once
// The parameter value XML: one record of the dataset written into the frame's DTMParameterSchema document
// below a node the caller gives. It creates the groups of the record's ExportGroup path (nested
// fdt:DtmVariables, shared with records already written), the record's fdt:DtmVariable, its fdt:Value with
// the read and write access, and inside it the typed value fdt:Variant (ExportKind 2) or the display text
// fdt:Display (ExportKind 1). The reader of the parameter document looks for exactly these forms.
//
// Every element lies in "x-schema:FDTDataTypesSchema.xml" with the prefix fdt; attributes carry no
// namespace. The writers keep no state; they run on the thread of the document (the DTM's apartment).
// A failing DOM step leaves what was appended before it (no rollback); the caller counts only records
// written with success.
//
// Every text lands in the document escaped (the typed value's fragment is parsed, so its value text is
// escaped before; the attributes are escaped by the DOM when the document is written). A text that XML
// cannot hold at all is refused with E_INVALIDARG rather than written into a document that would not parse.
#include <windows.h>
#include <msxml2.h>

#include "dataset/QuelkVariable.h"

constexpr wchar_t kFdtDataTypesNamespace[] = L"x-schema:FDTDataTypesSchema.xml";

// The values of a record's ExportKind.
enum ParameterExportKind : ULONG {
    kExportNone = 0,     // not in the parameter document
    kExportDisplay = 1,  // fdt:Display with the value's text
    kExportVariant = 2,  // fdt:Variant with the typed value
};

// The groups of `record.ExportGroup` below `parent` (created where missing), then WriteDtmVariable in the
// innermost group (in `parent` itself for an empty path). A path is cut at each of blank . , : ; / into
// segments; two separators in a row give an empty segment. E_POINTER for a null document or parent.
// A typed number is written with a decimal point whatever the regional settings (the schema types it as a
// number); a typed date follows `locale` (the user's regional settings by default).
HRESULT WriteDtmVariables(IXMLDOMDocument* document, IXMLDOMNode* parent, const CQuelkVariable& record,
                          LCID locale = LOCALE_USER_DEFAULT) noexcept;

// fdt:DtmVariable with `name` = the record's Name, then WriteParameterValue in it. When that fails the
// fdt:DtmVariable is taken out again, so the document never holds a parameter without its fdt:Value.
HRESULT WriteDtmVariable(IXMLDOMDocument* document, IXMLDOMNode* parent, const CQuelkVariable& record,
                         LCID locale = LOCALE_USER_DEFAULT) noexcept;

// fdt:Value with readAccess and writeAccess ("1"/"0"; a device parameter by its Access bits 0x10 and 0x20,
// an internal item always readable and writable by bit 0x01), then by ExportKind: 1 the display text,
// 2 the typed value; any other kind E_FAIL (the fdt:Value stays). A value type without a typed form leaves
// fdt:Value without a child and answers S_OK.
HRESULT WriteParameterValue(IXMLDOMDocument* document, IXMLDOMNode* parent, const CQuelkVariable& record,
                            LCID locale = LOCALE_USER_DEFAULT) noexcept;

// The fdt:Variant fragment of `value`:
//   <fdt:Variant xmlns:fdt="x-schema:FDTDataTypesSchema.xml" dataType="KEYWORD"> <fdt:XData attr="TEXT"
//   /></fdt:Variant>
// S_OK with the text (which the caller frees); S_FALSE and a null text for a VARTYPE without a form
// (every one but VT_UI1, VT_UI4, VT_I4, VT_R4, VT_R8, VT_DATE, VT_BSTR and a byte array); the failure of
// the value's conversion to text. E_POINTER for a null `text`.
HRESULT WriteVariant(const VARIANT& value, BSTR* text, LCID locale = LOCALE_USER_DEFAULT) noexcept;

// Parses `fragment` in a separate document (no schema, externals not resolved) and appends its element to
// `parent`; `appended` receives it (one reference). E_POINTER for a null out pointer, document or parent;
// E_INVALIDARG for an empty fragment or a null namespace; E_FAIL when the fragment yields no element.
HRESULT WriteVariantData(IXMLDOMDocument* document, IXMLDOMNode* parent, BSTR fragment, BSTR namespaceUri,
                         IXMLDOMNode** appended) noexcept;

// fdt:Display with `string` = the record's value converted to text (ConvertVariantType, locale 0).
HRESULT WriteDisplayValue(IXMLDOMDocument* document, IXMLDOMNode* parent,
                          const CQuelkVariable& record) noexcept;
