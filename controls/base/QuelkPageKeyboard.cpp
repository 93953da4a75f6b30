#include "controls/base/QuelkPageKeyboard.h"

#include <cctype>
#include <cstring>

namespace {

constexpr int kTextChars = 256;
constexpr int kClassChars = 100;
// Style patterns that BS_DEFPUSHBUTTON's bit belongs to on other buttons (auto radio, auto check box).
constexpr LONG kAutoRadioPattern = 0x9;
constexpr LONG kAutoCheckPattern = 0x3;
constexpr LONG kDefaultButtonBit = 0x1;
constexpr UINT kForwardMessage = 0x037F;  // WM_FORWARDMSG: a hosted control may translate the key

bool HasClass(HWND window, const char* name) noexcept {
    char actual[kClassChars] = {};
    return window && ::GetClassNameA(window, actual, kClassChars) > 0 && std::strcmp(actual, name) == 0;
}

bool HasPattern(LONG style, LONG pattern) noexcept { return (style & pattern) == pattern; }

bool ShiftDown() noexcept { return ::GetKeyState(VK_SHIFT) < 0; }

bool IsInside(HWND ancestor, HWND window) noexcept {
    return ancestor && window && ::IsChild(ancestor, window);
}

void SetStyle(HWND window, LONG style) noexcept {
    ::SetWindowLongW(window, GWL_STYLE, style);
    ::InvalidateRect(window, nullptr, TRUE);
}

}  // namespace

BOOL CQuelkPageKeyboard::ProcessWindowMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam,
                                              LRESULT& result) noexcept {
    if (message == WM_COMMAND) {
        BOOL handled = TRUE;
        result = OnFocusCommand(wParam, lParam, handled);
        if (handled) return TRUE;
        switch (HIWORD(wParam)) {
            case EN_SETFOCUS:
            case BN_SETFOCUS:
            case CBN_SETFOCUS:
            case LBN_SETFOCUS:
                ::GetDlgItemTextA(page, LOWORD(wParam), savedText_, kTextChars);
                result = 0;
                return TRUE;
            default:
                return FALSE;
        }
    }
    if (message == WM_SETCURSOR) {
        savedFocus_ = ::GetFocus();
        result = 0;
        return TRUE;
    }
    return FALSE;
}

BOOL CQuelkPageKeyboard::OnStyleChanging(UINT message, WPARAM wParam, LPARAM lParam,
                                         LRESULT& result) noexcept {
    if (message != WM_STYLECHANGING) return FALSE;
    if (wParam == static_cast<WPARAM>(GWL_EXSTYLE)) {
        reinterpret_cast<STYLESTRUCT*>(lParam)->styleNew |= WS_EX_CONTROLPARENT;
        result = 0;
    } else {
        result = 1;
    }
    return TRUE;
}

LRESULT CQuelkPageKeyboard::OnFocusCommand(WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept {
    const HWND window = reinterpret_cast<HWND>(lParam);
    switch (HIWORD(wParam)) {
        case kRestoreFocusCode:
            if (savedFocus_) {
                focusRestored_ = true;
                ::SetFocus(savedFocus_);
            }
            return 0;
        case BN_KILLFOCUS: {
            const LONG style = ::GetWindowLongW(window, GWL_STYLE);
            if ((style & kDefaultButtonBit) && !HasPattern(style, kAutoRadioPattern) &&
                !HasPattern(style, kAutoCheckPattern)) {
                SetStyle(window, style & ~kDefaultButtonBit);
                return 0;
            }
            break;
        }
        case BN_SETFOCUS: {
            const LONG style = ::GetWindowLongW(window, GWL_STYLE);
            if (focusRestored_ && !(style & kDefaultButtonBit)) {
                SetStyle(window, style | kDefaultButtonBit);
                return 0;
            }
            break;
        }
        default:
            break;
    }
    handled = FALSE;
    return 0;
}

BOOL CQuelkPageKeyboard::HandleMnemonic(HWND page, const MSG& message) noexcept {
    const int key = std::tolower(static_cast<unsigned char>(message.wParam & 0xFF));
    for (HWND child = ::GetWindow(page, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowEnabled(child)) continue;
        char text[kTextChars] = {};
        ::GetWindowTextA(child, text, kTextChars);
        const char* ampersand = std::strchr(text, '&');
        if (!ampersand || std::tolower(static_cast<unsigned char>(ampersand[1])) != key) continue;
        // The tab stop at or after the matching window: the one that follows the tab stop before it.
        const HWND target = ::GetNextDlgTabItem(page, ::GetNextDlgTabItem(page, child, TRUE), FALSE);
        if (!target) continue;
        ::SetFocus(target);
        if (HasClass(target, "Button")) ::SendMessageW(target, BM_CLICK, 0, 0);
        return TRUE;
    }
    return FALSE;
}

BOOL CQuelkPageKeyboard::TranslateDialogKey(HWND page, MSG* message, EnterHandler* enter) noexcept {
    if (!message) return FALSE;
    const UINT kind = message->message;
    const bool keyboard = kind >= WM_KEYDOWN && kind <= 0x0108;
    const bool mouse = kind >= WM_MOUSEMOVE && kind <= 0x0209;
    if (!keyboard && !mouse) return FALSE;

    const HWND focus = ::GetFocus();
    const HWND parent = ::GetParent(page);
    const bool focusInPage = IsInside(page, focus);
    const bool focusInFrame = IsInside(parent ? ::GetParent(parent) : nullptr, focus);
    if (kind == WM_SYSKEYDOWN && (focus == parent || (focusInFrame && !focusInPage)) &&
        (message->wParam & 0xFF) >= 0x41 && HandleMnemonic(page, *message)) {
        return TRUE;
    }

    const HWND firstChild = ::GetWindow(page, GW_CHILD);
    const HWND lastTab = ::GetNextDlgTabItem(page, firstChild, TRUE);
    const HWND firstTab = ::GetNextDlgTabItem(page, lastTab, FALSE);
    if (kind == WM_KEYDOWN) {
        focusRestored_ = false;
        if (message->wParam == VK_TAB && focus && focus == parent) {
            focusRestored_ = true;
            ::SetFocus(page);
            return TRUE;
        }
        if (!focusInPage) {
            if (message->wParam != VK_TAB) return FALSE;
            focusRestored_ = true;
            ::SetFocus(ShiftDown() ? lastTab : firstTab);
            return TRUE;
        }
    }

    HWND focusChild = focus;
    if (focusInPage) {
        while (::GetParent(focusChild) != page) focusChild = ::GetParent(focusChild);
    }
    if (focusChild &&
        ::SendMessageW(focusChild, kForwardMessage, 0, reinterpret_cast<LPARAM>(message)) == 1) {
        return TRUE;
    }
    const UINT dialogCode = static_cast<UINT>(::SendMessageW(message->hwnd, WM_GETDLGCODE, 0, 0));
    if (kind != WM_KEYDOWN) {
        if (kind == WM_CHAR && dialogCode == 0) return FALSE;
        return ::IsDialogMessageW(page, message);
    }
    const WPARAM key = LOWORD(message->wParam);
    if (key < VK_CANCEL || key > VK_DOWN) return FALSE;
    if (key == VK_RETURN) return enter ? enter->OnEnter(page, focusChild, *message) : FALSE;
    if (key == VK_CANCEL || key == VK_ESCAPE) {
        if (!HasClass(focusChild, "Edit")) return FALSE;
        char current[kTextChars] = {};
        ::GetWindowTextA(focusChild, current, kTextChars);
        if (std::strcmp(current, savedText_) == 0) return FALSE;
        ::SetWindowTextA(focusChild, savedText_);
        return TRUE;
    }
    if (key == VK_TAB) {
        if (dialogCode & DLGC_WANTTAB) return ::IsDialogMessageW(page, message);
        const bool shift = ShiftDown();
        if ((!shift && focusChild == lastTab) || (shift && focusChild == firstTab)) return FALSE;
        return ::IsDialogMessageW(page, message);
    }
    if (key >= VK_LEFT && key <= VK_DOWN) {
        if (!HasClass(focusChild, "Button")) return FALSE;
        const LONG style = ::GetWindowLongW(focusChild, GWL_STYLE);
        if (!HasPattern(style, kAutoRadioPattern) && !(dialogCode & DLGC_WANTARROWS)) {
            const bool backwards = key == VK_LEFT || key == VK_UP;
            if ((backwards && focusChild == firstChild) || (!backwards && focusChild == lastTab))
                return FALSE;
        }
        return ::IsDialogMessageW(page, message);
    }
    return FALSE;
}
