#include "frame/FunctionUi.h"

#include "classlib/Bstr.h"
#include "comm/Dpv1InvokeId.h"
#include "frame/FrameDocuments.h"

namespace {

// The control the DTM names for a function call: its ProgID, or its class id when it names no ProgID.
HRESULT ControlOfFunction(IUnknown* dtm, const ql::Bstr& functionCall, std::wstring& out) {
    ql::ComPtr<IDtmActiveXInformation> information;
    QL_RETURN_IF_FAILED(ql::QueryInterfaceTo(dtm, information));
    ql::Bstr name;
    HRESULT hr = information->GetActiveXProgId(functionCall.Get(), name.Put());
    if (FAILED(hr) || name.IsEmpty()) hr = information->GetActiveXGuid(functionCall.Get(), name.Put());
    QL_RETURN_IF_FAILED(hr);
    QL_RETURN_HR_IF(E_FAIL, name.IsEmpty());
    out.assign(name.View());
    // A class id may come without its braces.
    if (out[0] != L'{' && out.size() == 36 && out[8] == L'-') out = L"{" + out + L"}";
    return S_OK;
}

}  // namespace

CFunctionUi::CFunctionUi() noexcept {
    container_.SetCloseHandler([this] { (void)Close(); });
}

HRESULT CFunctionUi::OpenFunction(IUnknown* dtm, long functionId) noexcept {
    QL_RETURN_IF_NULL_OUT(dtm);
    QL_RETURN_IF_FAILED(Close());
    return ql::GuardComCall([&]() -> HRESULT {
        ql::Bstr functionCall(FunctionCallDocument(functionId));
        std::wstring control;
        QL_RETURN_IF_FAILED(ControlOfFunction(dtm, functionCall, control));
        QL_RETURN_IF_FAILED(container_.Open(control, L"Function " + std::to_wstring(functionId)));
        QL_RETURN_IF_FAILED(ql::QueryInterfaceTo(container_.Control(), fdtControl_));
        return InitControl(dtm, functionCall);
    });
}

HRESULT CFunctionUi::OpenControl(const std::wstring& classIdOrProgId, IUnknown* dtm) noexcept {
    QL_RETURN_IF_FAILED(Close());
    return ql::GuardComCall([&]() -> HRESULT {
        QL_RETURN_IF_FAILED(container_.Open(classIdOrProgId, classIdOrProgId));
        if (dtm && SUCCEEDED(ql::QueryInterfaceTo(container_.Control(), fdtControl_)) && fdtControl_) {
            // No function of the DTM: the control gets a function call of its own, for function 0.
            return InitControl(dtm, ql::Bstr(FunctionCallDocument(0)));
        }
        fdtControl_.Reset();
        container_.Show();
        return S_OK;
    });
}

HRESULT CFunctionUi::InitControl(IUnknown* dtm, const ql::Bstr& functionCall) noexcept {
    ql::Bstr invokeId;
    HRESULT hr = CreateInvokeId(invokeId.Put());
    ql::ComPtr<IDtm> fdtDtm;  // the control gets the DTM as a frame hands it over: its IDtm
    if (SUCCEEDED(hr)) hr = ql::QueryInterfaceTo(dtm, fdtDtm);
    VARIANT_BOOL initialised = VARIANT_FALSE;
    if (SUCCEEDED(hr)) hr = fdtControl_->Init(invokeId.Get(), functionCall.Get(), fdtDtm.Get(), &initialised);
    if (hr == S_OK && initialised != VARIANT_TRUE) hr = S_FALSE;
    if (hr != S_OK) {
        // A control may have registered with the DTM before it refused: its release gives that back.
        (void)Close();
        return hr;
    }
    invokeId_.assign(invokeId.View());
    container_.Show();
    return S_OK;
}

HRESULT CFunctionUi::Close() noexcept {
    lastReleaseResult_ = S_OK;
    if (fdtControl_) {
        VARIANT_BOOL released = VARIANT_FALSE;
        lastReleaseResult_ = fdtControl_->PrepareToRelease(&released);
        fdtControl_.Reset();
    }
    container_.Close();
    invokeId_.clear();
    return S_OK;
}
