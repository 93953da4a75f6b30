#include "TestDialogControl.h"

#include "UiTestResources.h"
#include "classlib/ComModule.h"

CUiTestControl::CUiTestControl() noexcept
    : ql::DialogControl(IDD_UI_TEST_CONTROL, CLSID_UiTestControl, DIID__IUiTestControlEvents) {}

HRESULT CUiTestControl::FinalConstruct() noexcept { return AddConnectionPoint(DIID__IUiTestControlEvents); }

HINSTANCE CUiTestControl::DialogModule() const noexcept { return ql::ComModule::Instance().ModuleInstance(); }

HRESULT CUiTestControl::get_ConfirmCount(LONG* count) noexcept {
    QL_RETURN_IF_NULL_OUT(count);
    *count = confirmCount_;
    return S_OK;
}

HRESULT CUiTestControl::get_InvokeId(BSTR* invokeId) noexcept {
    QL_RETURN_IF_NULL_OUT(invokeId);
    ql::Bstr copy;
    QL_RETURN_IF_FAILED(copy.Assign(invokeId_.View()));
    *invokeId = copy.Detach();
    return S_OK;
}

HRESULT CUiTestControl::get_AmbientLocale(LONG* locale) noexcept {
    QL_RETURN_IF_NULL_OUT(locale);
    LCID ambient = 0;
    const HRESULT hr = AmbientLocaleId(ambient);
    *locale = static_cast<LONG>(ambient);
    return hr;
}

HRESULT CUiTestControl::Init(BSTR invokeId, BSTR, IDtm* dtm, VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    *ok = VARIANT_FALSE;
    if (!dtm || !invokeId || !invokeId_.IsNull()) return S_FALSE;
    QL_RETURN_IF_FAILED(invokeId_.AssignCopy(invokeId));
    dtm_ = ql::ComPtr<IDtm>(dtm);
    *ok = VARIANT_TRUE;
    return S_OK;
}

HRESULT CUiTestControl::PrepareToRelease(VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    dtm_.Reset();
    *ok = VARIANT_TRUE;
    return S_OK;
}

HRESULT CUiTestControl::LoadState(IStream* stream) noexcept {
    return ql::GuardComCall([&] {
        loaded_.clear();
        BYTE buffer[256];
        ULONG read = 0;
        HRESULT hr = S_OK;
        while (SUCCEEDED(hr = stream->Read(buffer, sizeof(buffer), &read)) && read > 0)
            loaded_.insert(loaded_.end(), buffer, buffer + read);
        return FAILED(hr) ? hr : S_OK;
    });
}

HRESULT CUiTestControl::SaveState(IStream* stream, bool) noexcept {
    ULONG written = 0;
    return stream->Write(loaded_.data(), static_cast<ULONG>(loaded_.size()), &written);
}

void CUiTestControl::ShowStatus(const wchar_t* text) noexcept {
    ::SetDlgItemTextW(WindowHandle(), IDC_STATUS_TEXT, text);
}

LRESULT CUiTestControl::OnOk(WORD, WORD, HWND, BOOL&) {
    ++confirmCount_;
    ShowStatus(L"Confirmed");
    if (!AreEventsFrozen())
        if (ql::ConnectionPoint* events = FindPoint(DIID__IUiTestControlEvents))
            events->InvokeEach(1, nullptr);
    return 0;
}

LRESULT CUiTestControl::OnCancel(WORD, WORD, HWND, BOOL&) {
    ShowStatus(L"Cancelled");
    return 0;
}
