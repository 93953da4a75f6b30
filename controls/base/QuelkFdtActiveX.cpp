// The FDT initialisation of a stand-alone control and its release.
#include "controls/base/QuelkFdtActiveX.h"

#include <msxml2.h>

#include "QuelkInterfaces.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "controls/base/QuelkControlBase.h"
#include "xml/FdtNameTables.h"
#include "xml/XmlNodeReads.h"

namespace {

constexpr wchar_t kFunctionIdPath[] = L"*/FDTFunctionCall/@func:functionId";
constexpr wchar_t kApplicationIdPath[] = L"*/FDTFunctionCall/appId:ApplicationId/@applicationId";
constexpr wchar_t kOperationPhasePath[] = L"*/FDTFunctionCall/@ops:operationPhase";

}  // namespace

HRESULT CQuelkFdtActiveX::Init(BSTR invokeId, BSTR functionCall, IDtm* dtm, VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    *ok = VARIANT_FALSE;
    if (!dtm || !functionCall || !invokeId) return S_FALSE;
    if (!m_invokeId.IsEmpty()) return S_FALSE;  // initialised before: a control serves one function
    if (FAILED(m_invokeId.AssignCopy(invokeId)) || m_invokeId.IsEmpty()) {
        m_invokeId.Reset();
        return S_FALSE;
    }
    HRESULT hr = Register(dtm, functionCall);
    // The DTM has set up the schema cache during the registration: only now can the document be read.
    if (SUCCEEDED(hr)) hr = ReadFunctionCall();
    if (FAILED(hr)) return S_FALSE;  // every refusal the same way: ok stays FALSE
    VARIANT_BOOL attached = VARIANT_FALSE;
    hr = control_.Init(dtm, &attached);
    if (SUCCEEDED(hr) && attached == VARIANT_TRUE) {
        *ok = VARIANT_TRUE;
        return hr;
    }
    return S_FALSE;
}

HRESULT CQuelkFdtActiveX::Register(IUnknown* dtm, BSTR functionCall) noexcept {
    QL_RETURN_IF_FAILED(ql::QueryInterfaceTo(dtm, m_dtm));
    QL_RETURN_HR_IF(E_FAIL, !m_dtm);
    QL_RETURN_IF_FAILED(m_functionCall.AssignCopy(functionCall));
    ql::ComPtr<IQuelkFunctions> functions;
    QL_RETURN_IF_FAILED(ql::QueryInterfaceTo(m_dtm.Get(), functions));
    QL_RETURN_HR_IF(E_FAIL, !functions);
    return functions->ActiveXControlEvent(m_invokeId.Get(), control_.ControllingUnknown());
}

HRESULT CQuelkFdtActiveX::ReadFunctionCall() noexcept {
    ql::ComPtr<IXMLDOMDocument2> document;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(control_.XmlHandler().LoadXMLDocument(m_functionCall.Get(), document.Put(), &loaded,
                                                              &control_.StatusReports()));
    QL_RETURN_HR_IF(E_FAIL, loaded != VARIANT_TRUE || !document);

    ql::Bstr path(kFunctionIdPath);
    ql::Variant functionId;
    QL_RETURN_IF_FAILED(XmlGetNodeValue(document.Get(), path.Get(), functionId.Put(), VT_I4));
    m_functionId = V_I4(functionId.Get());

    m_applicationId = 0;
    QL_RETURN_IF_FAILED(path.Assign(kApplicationIdPath));
    if (XmlNodeExists(document.Get(), path.Get()) == 1) {
        ql::Bstr text;
        bool found = false;
        QL_RETURN_IF_FAILED(XmlGetNodeText(text.Put(), &found, document.Get(), path.Get()));
        (void)ApplicationIdFromString(text.Get(), &m_applicationId);  // an unknown name keeps 0
    }

    m_operationPhase = 0;
    QL_RETURN_IF_FAILED(path.Assign(kOperationPhasePath));
    ql::Bstr phase;
    bool found = false;
    QL_RETURN_IF_FAILED(XmlGetNodeText(phase.Put(), &found, document.Get(), path.Get()));
    // An unknown phase keyword leaves the phase 0 ("notSupported").
    if (found) (void)OperationPhaseFromString(phase.Get(), &m_operationPhase);
    return S_OK;
}

HRESULT CQuelkFdtActiveX::PrepareToRelease(VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    *ok = VARIANT_FALSE;
    VARIANT_BOOL done = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(control_.ReleaseDtm(&done));
    QL_RETURN_HR_IF(E_FAIL, done != VARIANT_TRUE);
    ql::ComPtr<IQuelkFunctions> functions;
    QL_RETURN_HR_IF(E_FAIL, FAILED(ql::QueryInterfaceTo(m_dtm.Get(), functions)) || !functions);
    QL_RETURN_IF_FAILED(functions->ActiveXControlEvent(m_invokeId.Get(), nullptr));
    *ok = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkFdtActiveX::RequestClose() noexcept {
    ql::ComPtr<IQuelkFunctions> functions;
    QL_RETURN_HR_IF(E_NOINTERFACE, FAILED(ql::QueryInterfaceTo(m_dtm.Get(), functions)) || !functions);
    VARIANT_BOOL closed = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(functions->CloseFunctionUi(m_invokeId.Get(), &closed));
    return closed == VARIANT_TRUE ? S_OK : S_FALSE;
}
