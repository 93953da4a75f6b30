#include "dataset/ParameterListImport.h"

#include <string>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "dataset/ParameterListText.h"
#include "xml/XmlNodeReads.h"

namespace {

constexpr wchar_t kImportTitle[] = L"Import";

// The value of the record's Parameter element, converted to its data type; S_FALSE when the document has
// none the record can take.
HRESULT ReadListValue(IXMLDOMDocument2* document, const CQuelkVariable& record, const BSTR typeQuery,
                      const BSTR valueQuery, ql::Variant& value) {
    const std::wstring selection = L"PARAMETERS/Parameter[@id=\"" + std::to_wstring(record.Id()) + L"\"]";
    ql::Bstr query(selection);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, query.IsNull());
    ql::ComPtr<IXMLDOMNode> element;
    if (FAILED(document->selectSingleNode(query.Get(), element.Put())) || !element) return S_FALSE;

    ql::Variant type;
    if (FAILED(XmlGetNodeValue(element.Get(), typeQuery, type.Put(), VT_BSTR))) return S_FALSE;
    std::wstring declared;
    QL_RETURN_IF_FAILED(ParameterListTypeName(record.DataType, declared));
    const BSTR typeText = V_BSTR(type.Get());
    if (std::wstring_view(typeText ? typeText : L"", ::SysStringLen(typeText)) != declared) return S_FALSE;

    // A text's value is its node text; every other type reads the typed value (text as well, the attribute
    // having no schema type) and converts it: hexadecimal digits to a byte string, numbers as the platform
    // reads them.
    if (FAILED(XmlGetNodeValue(element.Get(), valueQuery, value.Put(), record.DataType))) return S_FALSE;
    return S_OK;
}

}  // namespace

HRESULT ImportParameters(CQuelkVariableStore& store, ParameterListHost& host, BSTR text) noexcept {
    QL_RETURN_IF_NULL_OUT(text);
    ql::ComPtr<IXMLDOMDocument2> document;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(host.LoadParameterList(text, document.Put(), &loaded));
    QL_RETURN_HR_IF(E_FAIL, loaded != VARIANT_TRUE || !document);

    return ql::GuardComCall([&]() -> HRESULT {
        ql::Bstr typeQuery(L"@type"), valueQuery(L"@value");
        QL_RETURN_HR_IF(E_OUTOFMEMORY, typeQuery.IsNull() || valueQuery.IsNull());
        CQuelkVariableList& variables = store.Variables();
        const ULONG count = variables.Count();
        for (ULONG i = 0; i < count; ++i) {
            CQuelkVariable record;
            if (SUCCEEDED(variables.GetVariableAt(static_cast<int>(i), &record))) {
                ql::Variant value;
                if (ReadListValue(document.Get(), record, typeQuery.Get(), valueQuery.Get(), value) == S_OK) {
                    // A refused value only skips the parameter.
                    (void)store.SetValue(record.Id(), *value);
                }
            }
            host.ReportProgress(i, count, kImportTitle);
        }
        host.ReportProgress(0, count, L"");
        return S_OK;
    });
}
