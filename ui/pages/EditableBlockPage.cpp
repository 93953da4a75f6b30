#include "ui/pages/EditableBlockPage.h"

#include "ui/pages/BlockPageCommit.h"

LRESULT CEditableBlockPage::OnControlCommit(UINT code, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept {
    // A control that loses the focus while the page loads or writes it itself was edited by no one; the base
    // keeps that notification handled all the same.
    const bool userEdit = !IsLoading() && !IsUpdating();
    const LRESULT result = CQuelkOnlinePage::OnControlCommit(code, wParam, lParam, handled);
    if (userEdit && handled) {
        BOOL edited = TRUE;
        // Only brings the field back in line with the DTM; the commit's own handling above is the answer.
        (void)OnParameterEdited(code, wParam, lParam, edited);
    }
    return result;
}

HRESULT CEditableBlockPage::ApplyControl(HWND control) noexcept {
    const DeviceAction action(*this);
    CommitControl(control);
    return S_OK;
}

// CommitEditedControl tells the user the outcome itself.
void CEditableBlockPage::CommitControl(HWND control) noexcept { (void)CommitEditedControl(*this, control); }

BOOL CEditableBlockPage::OnEnter(HWND page, HWND focusedChild, const MSG& message) noexcept {
    // ApplyControl tells the user the outcome itself and always answers S_OK; the key goes on to the dialog.
    (void)ApplyControl(focusedChild);
    MSG copy = message;
    return ::IsDialogMessageW(page, &copy);
}
