#include "classlib/ModelessDialog.h"

#include "classlib/AxHostWindow.h"

namespace ql {

namespace {

// Messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) noexcept {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return true;
        default:
            return false;
    }
}

}  // namespace

ModelessDialog::~ModelessDialog() { DestroyDialogWindow(); }

HRESULT ModelessDialog::CreateDialogWindow(HINSTANCE module, UINT dialogId, HWND parent) noexcept {
    if (hwnd_) return HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS);
    HWND created = CreateDialogWithControls(module, MAKEINTRESOURCEW(dialogId), parent,
                                            &ModelessDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!created) {
        const DWORD error = ::GetLastError();
        return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
    }
    return S_OK;
}

void ModelessDialog::DestroyDialogWindow() noexcept {
    if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

BOOL ModelessDialog::ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&, DWORD) { return FALSE; }

INT_PTR CALLBACK ModelessDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ModelessDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<ModelessDialog*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
    }
    if (!self) return FALSE;
    if (message == WM_NCDESTROY) {
        LRESULT ignored = 0;
        self->ProcessWindowMessage(hwnd, message, wParam, lParam, ignored, 0);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        self->OnFinalMessage(hwnd);
        return FALSE;
    }
    LRESULT result = 0;
    if (!self->ProcessWindowMessage(hwnd, message, wParam, lParam, result, 0)) {
        return message == WM_INITDIALOG ? TRUE : FALSE;  // default: the system sets the first focus
    }
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace ql
