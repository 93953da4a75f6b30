#include "dtm/documents/ParameterDocumentReader.h"

#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "dataset/ParameterValueXml.h"
#include "values/HexText.h"
#include "xml/XmlNodeReads.h"

namespace {

struct VariantKeyword {
    const wchar_t* keyword;
    VARTYPE type;
    const wchar_t* valuePath;
};
constexpr VariantKeyword kVariantKeywords[] = {
    {L"byte", VT_UI1, L"fdt:NumberData/@number"},
    {L"int", VT_I4, L"fdt:NumberData/@number"},
    {L"unsigned", VT_UI4, L"fdt:NumberData/@number"},
    {L"float", VT_R4, L"fdt:NumberData/@number"},
    {L"double", VT_R8, L"fdt:NumberData/@number"},
    {L"dateAndTime", VT_DATE, L"fdt:TimeData/@time"},
    {L"ascii", VT_BSTR, L"fdt:StringData/@string"},
    {L"hexString", kByteArrayType, L"fdt:StringData/@string"},
};

const VariantKeyword* FindKeyword(BSTR text) noexcept {
    const std::wstring_view keyword(text ? text : L"", ::SysStringLen(text));
    for (const VariantKeyword& row : kVariantKeywords) {
        if (keyword == row.keyword) return &row;
    }
    return nullptr;
}

HRESULT ReadValue(IXMLDOMNode* node, const wchar_t* path, VARTYPE type, ql::Variant& value) noexcept {
    ql::Bstr query(path);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, query.IsNull());
    return XmlGetNodeValue(node, query.Get(), value.Put(), type);
}

}  // namespace

HRESULT ReadVariantElement(IXMLDOMNode* variant, VARIANT* value) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !variant || !value);
    ql::Variant keyword;
    const HRESULT hr = ReadValue(variant, L"@dataType", VT_BSTR, keyword);
    QL_RETURN_HR_IF(E_FAIL, FAILED(hr));
    const VariantKeyword* row = FindKeyword(V_BSTR(keyword.Get()));
    if (!row) return S_FALSE;

    ql::Variant read;
    if (row->type == kByteArrayType) {
        ql::Variant text;
        QL_RETURN_IF_FAILED(ReadValue(variant, row->valuePath, VT_BSTR, text));
        QL_RETURN_IF_FAILED(HexBstrToByteArray(read.Get(), V_BSTR(text.Get()), FALSE));
    } else {
        QL_RETURN_IF_FAILED(ReadValue(variant, row->valuePath, row->type, read));
    }
    {
        ql::Variant old;
        old.Attach(*value);
    }
    return read.Detach(value);
}

HRESULT ReadExportedValue(IXMLDOMNode* variable, const CQuelkVariable& record, ql::Variant& value) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !variable);
    if (record.ExportKind == kExportVariant) {
        ql::Bstr query(L"fdt:Value/fdt:Variant");
        QL_RETURN_HR_IF(E_OUTOFMEMORY, query.IsNull());
        ql::ComPtr<IXMLDOMNode> variant;
        QL_RETURN_IF_FAILED(variable->selectSingleNode(query.Get(), variant.Put()));
        QL_RETURN_HR_IF(E_FAIL, !variant);
        return ReadVariantElement(variant.Get(), value.Put());
    }
    if (record.ExportKind == kExportDisplay) {
        // A text's value is the node text; every other type is read as typed value and converted.
        return ReadValue(variable, L"fdt:Value/fdt:Display/@string", record.DataType, value);
    }
    return E_FAIL;
}
