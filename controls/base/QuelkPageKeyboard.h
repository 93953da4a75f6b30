#pragma once
// CQuelkPageKeyboard: the focus and keyboard handling that every property page needs inside the
// parameterization window, kept apart from the page layer so that it works on any page dialog:
// - it remembers the window that had the focus when the mouse last moved over the page, and the text a
//   control had when it got the focus (Escape puts that text back into an edit);
// - Tab and the arrow keys stop at the page's first and last tab stop, so that the parameterization
//   window can move the focus on to its tree and buttons;
// - Alt+letter mnemonics work while the focus is outside the page;
// - a plain push button that gets the focus after the focus came into the page from outside is marked as
//   the default button, and loses the mark when it loses the focus;
// - the page keeps WS_EX_CONTROLPARENT, so that dialog navigation can step into it.
// Enter is the page class's own: the caller hands its handler to TranslateDialogKey.
//
// Used on the page's user-interface thread; no allocation on any path.
#include <windows.h>

class CQuelkPageKeyboard {
public:
    // The private WM_COMMAND notification code by which the parameterization window asks a page to put the
    // focus back on its saved window.
    static constexpr UINT kRestoreFocusCode = 0x430;

    // What a page does with Enter on its focused child; answers whether it consumed the key.
    class EnterHandler {
    public:
        virtual BOOL OnEnter(HWND page, HWND focusedChild, const MSG& message) noexcept = 0;

    protected:
        ~EnterHandler() = default;
    };

    // The page layer's map: WM_COMMAND focus notifications (restore request, button focus loss and gain),
    // the set-focus codes that save the control's text, WM_SETCURSOR that saves the focus. Returns whether
    // the message was handled; `result` is then 0.
    BOOL ProcessWindowMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) noexcept;
    // WM_STYLECHANGING: keeps WS_EX_CONTROLPARENT in a new extended style (result 0); other styles are left
    // alone (result 1). Both count as handled; other messages are not.
    static BOOL OnStyleChanging(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept;
    // The page's IPropertyPage::TranslateAccelerator before the page site: true when the page used the
    // message. `enter` may be null (Enter is then not consumed).
    BOOL TranslateDialogKey(HWND page, MSG* message, EnterHandler* enter) noexcept;

    bool FocusRestored() const noexcept { return focusRestored_; }
    HWND SavedFocus() const noexcept { return savedFocus_; }
    const char* SavedText() const noexcept { return savedText_; }

private:
    LRESULT OnFocusCommand(WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    BOOL HandleMnemonic(HWND page, const MSG& message) noexcept;
    BOOL HandleKeyDown(HWND page, HWND focusChild, const MSG& message, UINT dialogCode,
                       EnterHandler* enter) noexcept;

    char savedText_[256] = {};
    bool focusRestored_ = false;
    HWND savedFocus_ = nullptr;
};
