#pragma once
// ModelessDialog: a modeless dialog window from a dialog resource, whose messages go to the class's message
// map (classlib/MessageMap.h). The base of the ActiveX controls and property pages of the system, and of
// any plain dialog: ActiveX items of the template are hosted (classlib/AxHostWindow.h).
//
//   class CFoo : public ql::ModelessDialog {
//       QL_BEGIN_MSG_MAP(CFoo)
//           QL_COMMAND_HANDLER(IDOK, BN_CLICKED, OnOk)
//       QL_END_MSG_MAP()
//   };
//   foo.CreateDialogWindow(module, IDD_FOO, parent);
//
// The dialog procedure finds the object through DWLP_USER, which the class therefore keeps for itself.
// Messages before WM_INITDIALOG (WM_SETFONT) get the default processing. A message the map handles answers
// its result through DWLP_MSGRESULT, or directly for the messages whose result is the dialog procedure's
// own return value (WM_CTLCOLOR*, WM_INITDIALOG and the like).
// Ownership: the object owns its window; the window is destroyed with the object at the latest.
#include <windows.h>

namespace ql {

class ModelessDialog {
public:
    ModelessDialog() noexcept = default;
    ModelessDialog(const ModelessDialog&) = delete;
    ModelessDialog& operator=(const ModelessDialog&) = delete;

    HWND WindowHandle() const noexcept { return hwnd_; }
    HRESULT CreateDialogWindow(HINSTANCE module, UINT dialogId, HWND parent) noexcept;
    void DestroyDialogWindow() noexcept;

    // The message map: a class overrides this through QL_BEGIN_MSG_MAP; the default handles nothing.
    virtual BOOL ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                      DWORD mapId = 0);

protected:
    virtual ~ModelessDialog();
    // Called after the window received its last message (WM_NCDESTROY); the handle is already cleared.
    virtual void OnFinalMessage(HWND) noexcept {}

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace ql
