#include "dataset/ParameterListExport.h"

#include <string>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "dataset/ParameterListText.h"
#include "dataset/XmlAttributeText.h"

namespace {

// The list leaves the DTM as UTF-8 bytes, which the declaration names for every reader.
constexpr wchar_t kHead[] = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?> \r\n<PARAMETERS> \r\n";
constexpr wchar_t kTail[] = L"</PARAMETERS> \r\n";
constexpr wchar_t kExportTitle[] = L"Export";

// One entry: "<Parameter \r\n\tid    ="%lu" \r\n\tname  ="%s" \r\n\ttype  ="%s" \r\n\tvalue ="%s" \r\n/>
// \r\n".
HRESULT AppendEntry(const CQuelkVariable& record, std::wstring& document) {
    std::wstring name, type, valueText, value;
    QL_RETURN_IF_FAILED(EscapeAttributeText(record.Name.View(), name));
    ql::Variant typed;
    QL_RETURN_IF_FAILED(record.TypedValue(typed));
    QL_RETURN_IF_FAILED(ParameterListTypeName(typed.Type(), type));
    QL_RETURN_IF_FAILED(ParameterListValueText(*typed, valueText));
    QL_RETURN_IF_FAILED(EscapeAttributeText(valueText, value));

    document.append(L"<Parameter \r\n\tid    =\"").append(std::to_wstring(record.Id()));
    document.append(L"\" \r\n\tname  =\"").append(name);
    document.append(L"\" \r\n\ttype  =\"").append(type);
    document.append(L"\" \r\n\tvalue =\"").append(value);
    document.append(L"\" \r\n/> \r\n");
    return S_OK;
}

}  // namespace

HRESULT ExportParameters(const CQuelkVariableStore& store, ParameterListHost* host, BSTR* text) noexcept {
    QL_RETURN_IF_NULL_OUT(text);
    return ql::GuardComCall([&]() -> HRESULT {
        const CQuelkVariableList& variables = store.Variables();
        const ULONG count = variables.Count();
        std::wstring document(kHead);
        HRESULT failure = S_OK;
        for (ULONG i = 0; i < count; ++i) {
            CQuelkVariable record;
            if (SUCCEEDED(variables.GetVariableAt(static_cast<int>(i), &record)) && record.Persistent == 1 &&
                SUCCEEDED(failure)) {
                failure = AppendEntry(record, document);
            }
            if (host) host->ReportProgress(i, count, kExportTitle);
        }
        if (host) host->ReportProgress(0, count, L"");
        QL_RETURN_IF_FAILED(failure);
        document.append(kTail);

        ql::Bstr result;
        QL_RETURN_IF_FAILED(result.Assign(document));
        *text = result.Detach();
        return S_OK;
    });
}
