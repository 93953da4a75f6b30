#pragma once
// CSrvLogin: the service login. A service person types the service password; when the user name (stored
// in the dataset, kept in an edit nobody sees) and the password match the service constants, the login
// stores both in the DTM's dataset (parameters 10 and 11), asks the DTM to open the online parameterization
// (which the DTM does only when its own comparison of the stored pair agrees) and closes. Otherwise the
// user is told "wrong input" and may try again; nothing is stored.
//
// No function of the DTM opens it: a frame creates it by class id or ProgID ("VarnokP3.SrvLogin") and
// initialises it with the DTM as it does a function's control.
// Threading: the frame's user-interface thread; the close is posted, so it runs after the handler.
#include <windows.h>

#include "VarnokP3.h"
#include "controls/base/QuelkCompositeControl.h"

class CSrvLogin final : public ql::ComObjectBase<CSrvLogin>, public CQuelkCompositeControl {
    QL_INTERFACE_TABLE(CSrvLogin, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CQuelkCompositeControl))

    QL_BEGIN_MSG_MAP(CSrvLogin)
    QL_COMMAND_HANDLER(IDOK, BN_CLICKED, OnOK)
    QL_COMMAND_HANDLER(IDCANCEL, BN_CLICKED, OnCancel)
    QL_MESSAGE_HANDLER(WM_MOUSEACTIVATE, OnMouseActivate)
    QL_MESSAGE_HANDLER(WM_HELP, OnHelp)
    QL_MESSAGE_HANDLER(WM_CTLCOLORDLG, OnDialogBackground)
    QL_CHAIN_MSG_MAP(CQuelkCompositeControl)
    QL_END_MSG_MAP()

public:
    CSrvLogin() noexcept;
    HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }

    // --- IOleInPlaceActiveObject: the keys the container offers before it dispatches them ---
    // Esc cancels the login; Cancel and Execute are left to the container; a field that asks for a key
    // (WM_FORWARDMSG answered 1) keeps it; the rest goes through the dialog manager (Return presses OK,
    // Tab moves between the edits and the buttons).
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) noexcept override;

private:
    // Whether the typed user name and password are the service pair (exact, case-sensitive).
    bool IsServiceLogin() noexcept;

    LRESULT OnOK(WORD, WORD, HWND, BOOL&) noexcept;
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&) noexcept;
    LRESULT OnHelp(UINT, WPARAM, LPARAM, BOOL&) noexcept { return ShowHelp(L"SrvLogin Class", 0); }
    // The login keeps the system's dialog background.
    LRESULT OnDialogBackground(UINT, WPARAM, LPARAM, BOOL&) noexcept { return 0; }
};
