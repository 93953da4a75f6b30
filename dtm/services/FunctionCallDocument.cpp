#include "dtm/services/FunctionCallDocument.h"

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "xml/XmlNodeReads.h"
#include "dtm/QuelkDtm.h"

HRESULT ReadFunctionCallId(DtmHost& host, BSTR functionCall, const wchar_t* xpath, VARTYPE type,
                           LONG& functionId) noexcept {
    functionId = 0;
    ql::ComPtr<IXMLDOMDocument2> document;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT hr = host.Lifecycle().LoadXMLDocument(functionCall, document.Put(), &loaded);
    QL_RETURN_IF_FAILED(hr);
    if (loaded != VARIANT_TRUE || !document) return S_FALSE;

    ql::Bstr path(xpath);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, path.IsNull());
    ql::Variant value;
    QL_RETURN_IF_FAILED(XmlGetNodeValue(document.Get(), path.Get(), value.Put(), type));
    if (value.Type() == VT_I2) {
        functionId = value->iVal;
    } else if (value.Type() == VT_I4) {
        functionId = value->lVal;
    } else {
        return E_FAIL;
    }
    return S_OK;
}
