#include "ui/pages/EditableBlockPage.h"

#include "ui/pages/BlockPageCommit.h"

LRESULT CEditableBlockPage::OnControlCommit(UINT code, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept {
    // A control that loses the focus while the page loads or writes it itself was edited by no one; the base
    // keeps that notification handled all the same.
    const bool userEdit = !IsLoading() && !IsUpdating();
    const LRESULT result = CQuelkOnlinePage::OnControlCommit(code, wParam, lParam, handled);
    if (userEdit && handled) {
        BOOL edited = TRUE;
        (void)OnParameterEdited(code, wParam, lParam, edited);
    }
    return result;
}

HRESULT CEditableBlockPage::ApplyControl(HWND control) noexcept {
    const DeviceAction action(*this);
    CommitControl(control);
    return S_OK;
}

void CEditableBlockPage::CommitControl(HWND control) noexcept { (void)CommitEditedControl(*this, control); }

BOOL CEditableBlockPage::OnEnter(HWND page, HWND focusedChild, const MSG& message) noexcept {
    (void)ApplyControl(focusedChild);
    MSG copy = message;
    return ::IsDialogMessageW(page, &copy);
}
