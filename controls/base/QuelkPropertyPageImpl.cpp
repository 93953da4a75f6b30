// The property-page layer: dirty flag to the page site, Apply through the commit slot, the page keyboard.
#include "controls/base/QuelkPropertyPageImpl.h"

HRESULT CQuelkPropertyPageImpl::AttachIdentity(IUnknown* controllingUnknown) noexcept {
    QL_RETURN_IF_NULL_OUT(controllingUnknown);
    SetControllingUnknown(controllingUnknown);
    return S_OK;
}

BOOL CQuelkPropertyPageImpl::SetDirty(BOOL dirty) noexcept {
    CQuelkControlBase::SetDirty(dirty);
    SetPageDirty(dirty);
    return dirty;
}

HRESULT CQuelkPropertyPageImpl::ApplyChanges() noexcept {
    bool allCommitted = true;
    for (UINT row = 0; row < RowCount(); ++row) {
        if (!(Row(row).state & kRowModified)) continue;
        const HRESULT hr = CommitParameter(Row(row).id);
        QL_RETURN_IF_FAILED(hr);
        if (hr != S_OK) allCommitted = false;  // refused (read-only, invalid): the page stays modified
    }
    if (allCommitted) SetDirty(FALSE);
    return S_OK;
}

BOOL CQuelkPropertyPageImpl::TranslateDialogKey(MSG* message) noexcept {
    if (keyboard_.TranslateDialogKey(WindowHandle(), message, nullptr)) return TRUE;
    return ql::PropertyPage::TranslateDialogKey(message);
}

LRESULT CQuelkPropertyPageImpl::OnKeyboardMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                                  BOOL& handled) noexcept {
    LRESULT result = 0;
    handled = keyboard_.ProcessWindowMessage(WindowHandle(), message, wParam, lParam, result);
    return result;
}

LRESULT CQuelkPropertyPageImpl::OnStyleChanging(UINT message, WPARAM wParam, LPARAM lParam,
                                                BOOL& handled) noexcept {
    LRESULT result = 0;
    handled = CQuelkPageKeyboard::OnStyleChanging(message, wParam, lParam, result);
    return result;
}
