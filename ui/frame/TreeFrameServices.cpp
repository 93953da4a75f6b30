// The parameterization window's services for its pages and for outside components: its caption and
// settings, and its four buttons.
#include "ui/frame/TreeFrame.h"
#include "ui/frame/TreeFrameConstants.h"

using namespace treeframe;

// --- IQuelkFrameCaption ---

HRESULT CTreeFrame::SetCallback(IUnknown* object) noexcept {
    if (!object) {
        pageObject_.Reset();
        return S_OK;
    }
    return ql::QueryInterfaceTo(object, pageObject_);
}

HRESULT CTreeFrame::SetValue(ULONG value) noexcept {
    applyByFrame_ = value;
    return S_OK;
}

HRESULT CTreeFrame::SetCaption(BSTR text) noexcept {
    QL_RETURN_IF_FAILED(caption_.AssignCopy(text));
    // Kept until the window exists; a null text leaves the window's text alone.
    if (DialogWindow() && text) ::SetWindowTextA(DialogWindow(), AnsiOf(text).c_str());
    return S_OK;
}

HRESULT CTreeFrame::SetTextAndValue(ULONG value, BSTR text) noexcept {
    QL_RETURN_IF_FAILED(storedText_.AssignCopy(text));
    storedNumber_ = value;
    return S_OK;
}

// --- IQuelkFrameButtons ---

HRESULT CTreeFrame::GetButton(UINT index, HWND* button) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !button || index >= kButtonCount);
    *button = DialogWindow() ? Item(kButtons[index]) : nullptr;
    return S_OK;
}

HRESULT CTreeFrame::EnableButton(UINT index, BOOL enable) noexcept {
    HWND button = nullptr;
    const HRESULT hr = GetButton(index, &button);
    if (hr != S_OK) return hr;
    ::EnableWindow(button, enable);
    return S_OK;
}

HRESULT CTreeFrame::ShowButton(UINT index, BOOL show) noexcept {
    HWND button = nullptr;
    const HRESULT hr = GetButton(index, &button);
    if (hr != S_OK) return hr;
    ::ShowWindow(button, show ? SW_SHOW : SW_HIDE);
    return S_OK;
}

HRESULT CTreeFrame::SetButtonText(UINT index, BSTR text) noexcept {
    HWND button = nullptr;
    const HRESULT hr = GetButton(index, &button);
    if (hr != S_OK) return hr;
    if (text) ::SetWindowTextA(button, AnsiOf(text).c_str());
    return S_OK;
}
