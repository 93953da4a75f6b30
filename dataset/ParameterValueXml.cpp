#include "dataset/ParameterValueXml.h"

#include <string>
#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "dataset/XmlAttributeText.h"
#include "dataset/XmlNodeWriting.h"
#include "values/HexText.h"
#include "values/VariantConversion.h"
#include "values/XmlText.h"

namespace {

constexpr wchar_t kGroupElement[] = L"fdt:DtmVariables";
constexpr wchar_t kVariableElement[] = L"fdt:DtmVariable";
constexpr wchar_t kValueElement[] = L"fdt:Value";
constexpr wchar_t kDisplayElement[] = L"fdt:Display";
constexpr wchar_t kGroupSeparators[] = L" .,:;/";

constexpr wchar_t kFragmentHead[] = L"<fdt:Variant xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\" dataType=\"";
constexpr wchar_t kFragmentTail[] = L"\" /></fdt:Variant>";

// The typed forms: the data type keyword and the start of the data element up to its attribute's quote.
struct VariantForm {
    VARTYPE type;
    const wchar_t* keywordAndData;
};
constexpr VariantForm kVariantForms[] = {
    {VT_UI1, L"byte\"> <fdt:NumberData number=\""},
    {VT_UI4, L"unsigned\"> <fdt:NumberData number=\""},
    {VT_I4, L"int\"> <fdt:NumberData number=\""},
    {VT_R4, L"float\"> <fdt:NumberData number=\""},
    {VT_R8, L"double\"> <fdt:NumberData number=\""},
    {VT_DATE, L"dateAndTime\"> <fdt:TimeData time=\""},
    {VT_BSTR, L"ascii\"> <fdt:StringData string=\""},
    {kByteArrayType, L"hexString\"> <fdt:StringData string=\""},
};

const VariantForm* FindVariantForm(VARTYPE type) noexcept {
    for (const VariantForm& form : kVariantForms) {
        if (form.type == type) return &form;
    }
    return nullptr;
}

// The value's text before escaping: the string itself, the bytes in hexadecimal, or the platform's text of
// a number or date. Numbers are written in the invariant locale: the schema types fdt:NumberData/@number as
// a number, which has a decimal point whatever the user's regional settings, and the reader takes it as
// that typed value, so a decimal comma would make the document invalid and unreadable. Dates are free text
// and keep `locale`, in which they are read back.
HRESULT ValueText(const VARIANT& value, LCID locale, ql::Bstr& text) noexcept {
    switch (V_VT(&value)) {
        case VT_BSTR:
            return text.AssignCopy(V_BSTR(&value));
        case kByteArrayType: {
            BSTR hex = nullptr;
            QL_RETURN_IF_FAILED(BytesToHexBstr(&value, &hex, TRUE));
            text.Attach(hex);
            return S_OK;
        }
        default: {
            const LCID textLocale = V_VT(&value) == VT_DATE ? locale : LOCALE_INVARIANT;
            ql::Variant converted;
            QL_RETURN_IF_FAILED(
                ConvertVariantType(converted.Get(), &value, VT_BSTR, textLocale, VARIANT_NOVALUEPROP));
            QL_RETURN_HR_IF(E_FAIL, converted.Type() != VT_BSTR);
            return text.AssignCopy(V_BSTR(converted.Get()));
        }
    }
}

bool IsGroupSeparator(wchar_t c) noexcept {
    return std::wstring_view(kGroupSeparators).find(c) != std::wstring_view::npos;
}

// The group below `current` named `segment`; created when the selection finds none (a selection that fails,
// as for a name holding a double quote, counts as none).
HRESULT FindOrCreateGroup(IXMLDOMDocument* document, ql::ComPtr<IXMLDOMNode>& current,
                          std::wstring_view segment) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !IsXmlText(segment));
    return ql::GuardComCall([&]() -> HRESULT {
        std::wstring selection = std::wstring(kGroupElement) + L"[@name = \"";
        selection.append(segment).append(L"\"]");
        ql::Bstr query(selection);
        QL_RETURN_HR_IF(E_OUTOFMEMORY, query.IsNull());
        ql::ComPtr<IXMLDOMNode> found;
        if (SUCCEEDED(current->selectSingleNode(query.Get(), found.Put())) && found) {
            current = std::move(found);
            return S_OK;
        }

        ql::Bstr name(kGroupElement), namespaceUri(kFdtDataTypesNamespace);
        QL_RETURN_HR_IF(E_OUTOFMEMORY, name.IsNull() || namespaceUri.IsNull());
        ql::ComPtr<IXMLDOMNode> group;
        QL_RETURN_IF_FAILED(
            AppendChildElement(document, current.Get(), name.Get(), namespaceUri.Get(), group.Put()));
        const std::wstring groupName(segment);
        QL_RETURN_IF_FAILED(SetNodeAttributeText(document, group.Get(), L"name", groupName.c_str()));
        current = std::move(group);
        return S_OK;
    });
}

HRESULT AppendFdtElement(IXMLDOMDocument* document, IXMLDOMNode* parent, const wchar_t* name,
                         ql::ComPtr<IXMLDOMNode>& element) noexcept {
    ql::Bstr elementName(name), namespaceUri(kFdtDataTypesNamespace);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, elementName.IsNull() || namespaceUri.IsNull());
    return AppendChildElement(document, parent, elementName.Get(), namespaceUri.Get(), element.Put());
}

}  // namespace

HRESULT WriteDtmVariables(IXMLDOMDocument* document, IXMLDOMNode* parent, const CQuelkVariable& record,
                          LCID locale) noexcept {
    QL_RETURN_HR_IF(E_POINTER, !document || !parent);
    ql::ComPtr<IXMLDOMNode> current(parent);
    std::wstring_view remaining = record.ExportGroup.View();
    while (!remaining.empty()) {
        size_t cut = 0;
        while (cut < remaining.size() && !IsGroupSeparator(remaining[cut])) ++cut;
        const std::wstring_view segment = remaining.substr(0, cut);
        // Only the separator found is consumed, so two in a row leave an empty segment next.
        remaining = cut < remaining.size() ? remaining.substr(cut + 1) : std::wstring_view();
        QL_RETURN_IF_FAILED(FindOrCreateGroup(document, current, segment));
    }
    return WriteDtmVariable(document, current.Get(), record, locale);
}

HRESULT WriteDtmVariable(IXMLDOMDocument* document, IXMLDOMNode* parent, const CQuelkVariable& record,
                         LCID locale) noexcept {
    QL_RETURN_HR_IF(E_POINTER, !document || !parent);
    QL_RETURN_HR_IF(E_INVALIDARG, !IsXmlText(record.Name.View()));
    ql::ComPtr<IXMLDOMNode> variable;
    QL_RETURN_IF_FAILED(AppendFdtElement(document, parent, kVariableElement, variable));
    HRESULT hr = SetNodeAttributeText(document, variable.Get(), L"name", record.Name.CStr());
    if (SUCCEEDED(hr)) hr = WriteParameterValue(document, variable.Get(), record, locale);
    if (FAILED(hr)) {
        // A parameter element without its value would leave the document invalid against its schema; the
        // groups made for it stay (an empty group is valid).
        ql::ComPtr<IXMLDOMNode> removed;
        (void)parent->removeChild(variable.Get(), removed.Put());
    }
    return hr;
}

HRESULT WriteParameterValue(IXMLDOMDocument* document, IXMLDOMNode* parent, const CQuelkVariable& record,
                            LCID locale) noexcept {
    QL_RETURN_HR_IF(E_POINTER, !document || !parent);
    bool readable = true;
    bool writable = (record.Access & kAccessWritable) != 0;
    if (record.IsDeviceParameter == 1) {
        readable = (record.Access & kAccessReadable) != 0;
        writable = (record.Access & kAccessDeviceWritable) != 0;
    }

    ql::ComPtr<IXMLDOMNode> value;
    QL_RETURN_IF_FAILED(AppendFdtElement(document, parent, kValueElement, value));
    QL_RETURN_IF_FAILED(SetNodeAttributeText(document, value.Get(), L"readAccess", readable ? L"1" : L"0"));
    QL_RETURN_IF_FAILED(SetNodeAttributeText(document, value.Get(), L"writeAccess", writable ? L"1" : L"0"));

    switch (record.ExportKind) {
        case kExportDisplay:
            return WriteDisplayValue(document, value.Get(), record);
        case kExportVariant: {
            ql::Variant typed;
            QL_RETURN_IF_FAILED(record.TypedValue(typed));
            ql::Bstr fragment;
            const HRESULT written = WriteVariant(*typed, fragment.Put(), locale);
            QL_RETURN_IF_FAILED(written);
            // A value type without a typed form: the value stays without a child, and that is no failure.
            if (written == S_FALSE) return S_OK;
            ql::Bstr namespaceUri(kFdtDataTypesNamespace);
            QL_RETURN_HR_IF(E_OUTOFMEMORY, namespaceUri.IsNull());
            ql::ComPtr<IXMLDOMNode> appended;
            // Every value text is escaped, so the fragment parses; if it still does not, the value is not in
            // the document and the record must not count as written.
            QL_RETURN_IF_FAILED(
                WriteVariantData(document, value.Get(), fragment.Get(), namespaceUri.Get(), appended.Put()));
            return S_OK;
        }
        default:
            return E_FAIL;
    }
}

HRESULT WriteVariant(const VARIANT& value, BSTR* text, LCID locale) noexcept {
    QL_RETURN_IF_NULL_OUT(text);
    *text = nullptr;
    const VariantForm* form = FindVariantForm(V_VT(&value));
    if (!form) return S_FALSE;

    ql::Bstr valueText;
    QL_RETURN_IF_FAILED(ValueText(value, locale, valueText));
    return ql::GuardComCall([&]() -> HRESULT {
        std::wstring escaped;
        QL_RETURN_IF_FAILED(EscapeAttributeText(valueText.View(), escaped));
        std::wstring fragment(kFragmentHead);
        fragment.append(form->keywordAndData).append(escaped).append(kFragmentTail);
        ql::Bstr result;
        QL_RETURN_IF_FAILED(result.Assign(fragment));
        *text = result.Detach();
        return S_OK;
    });
}

HRESULT WriteVariantData(IXMLDOMDocument* document, IXMLDOMNode* parent, BSTR fragment, BSTR namespaceUri,
                         IXMLDOMNode** appended) noexcept {
    QL_RETURN_IF_NULL_OUT(appended);
    *appended = nullptr;
    QL_RETURN_HR_IF(E_POINTER, !document || !parent);
    QL_RETURN_HR_IF(E_INVALIDARG, ::SysStringLen(fragment) == 0 || namespaceUri == nullptr);

    ql::ComPtr<IXMLDOMDocument> scratch;
    QL_RETURN_IF_FAILED(CreateXmlDomDocument(scratch.Put()));
    QL_RETURN_HR_IF(E_FAIL, !scratch);
    QL_RETURN_IF_FAILED(scratch->put_async(VARIANT_FALSE));
    // The fragment names its namespace as an x-schema: the schema must not be looked for.
    QL_RETURN_IF_FAILED(scratch->put_resolveExternals(VARIANT_FALSE));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    (void)scratch->loadXML(fragment, &loaded);

    ql::ComPtr<IXMLDOMNode> element;
    if (FAILED(scratch->get_firstChild(element.Put())) || !element) return E_FAIL;
    ql::ComPtr<IXMLDOMNode> removed;
    QL_RETURN_IF_FAILED(scratch->removeChild(element.Get(), removed.Put()));
    return parent->appendChild(element.Get(), appended);
}

HRESULT WriteDisplayValue(IXMLDOMDocument* document, IXMLDOMNode* parent,
                          const CQuelkVariable& record) noexcept {
    QL_RETURN_HR_IF(E_POINTER, !document || !parent);
    ql::Variant typed, text;
    QL_RETURN_IF_FAILED(record.TypedValue(typed));
    QL_RETURN_IF_FAILED(ConvertVariantType(text.Get(), typed.Get(), VT_BSTR, 0, 0));
    QL_RETURN_HR_IF(E_FAIL, text.Type() != VT_BSTR);
    const BSTR display = V_BSTR(text.Get());
    QL_RETURN_HR_IF(E_INVALIDARG,
                    !IsXmlText(std::wstring_view(display ? display : L"", ::SysStringLen(display))));

    ql::ComPtr<IXMLDOMNode> element;
    QL_RETURN_IF_FAILED(AppendFdtElement(document, parent, kDisplayElement, element));
    ql::Bstr name(L"string");
    QL_RETURN_HR_IF(E_OUTOFMEMORY, name.IsNull());
    return SetNodeAttribute(document, element.Get(), name.Get(), *text.Get());
}
