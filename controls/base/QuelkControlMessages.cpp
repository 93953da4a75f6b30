// The base message map, which sends the show, colour, drawing and control notifications to their handlers
// (the show, change and commit handlers live with the synchronisation in controls/sync/), and the kind of a
// window from its class name.
#include <cwchar>
#include <iterator>

#include "classlib/ComModule.h"
#include "controls/base/QuelkControlBase.h"

namespace {

// Window class names by kind number, in the order they are compared.
constexpr const wchar_t* kControlKinds[] = {
    L"Static",          L"Edit",
    L"RichEdit",        L"ComboBox",
    L"ListBox",         L"Button",
    L"ScrollBar",       L"SysListView32",
    L"SysTreeView32",   L"SysAnimate32",
    L"SysHeader32",     L"SysTabControl32",
    L"SysMonthCal32",   L"SysDateTimePick32",
    L"SysIPAddress32",  L"ComboBoxEx32",
    L"msctls_updown32", L"msctls_progress32",
    L"msctls_hotkey32", L"msctls_trackbar32",
};
constexpr int kClassNameChars = 100;

using Handler = LRESULT (CQuelkControlBase::*)(UINT, WPARAM, LPARAM, BOOL&) noexcept;

struct CommandEntry {
    UINT code;
    Handler handler;
};

// The order matters: codes 1 and 5 stand twice, the second entry runs only when the first handler
// left the notification to others.
const CommandEntry kCommandEntries[] = {
    {EN_CHANGE, &CQuelkControlBase::OnControlChange},
    {BN_CLICKED, &CQuelkControlBase::OnControlChange},
    {CBN_EDITCHANGE, &CQuelkControlBase::OnControlChange},
    {CBN_SELCHANGE, &CQuelkControlBase::OnControlChange},
    {LBN_SELCHANGE, &CQuelkControlBase::OnControlChange},
    {EN_KILLFOCUS, &CQuelkControlBase::OnControlCommit},
    {BN_KILLFOCUS, &CQuelkControlBase::OnControlCommit},
    {CBN_KILLFOCUS, &CQuelkControlBase::OnControlCommit},
    {LBN_KILLFOCUS, &CQuelkControlBase::OnControlCommit},
};

}  // namespace

BOOL CQuelkControlBase::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                             LRESULT& result, DWORD mapId) noexcept {
    if (mapId != 0) return FALSE;
    BOOL handled = TRUE;
    Handler handler = nullptr;
    switch (message) {
        case WM_SHOWWINDOW:
            handler = &CQuelkControlBase::OnShowWindow;
            break;
        case WM_CTLCOLOREDIT:
            handler = &CQuelkControlBase::OnCtlColorEdit;
            break;
        case WM_CTLCOLORLISTBOX:
            handler = &CQuelkControlBase::OnCtlColorListBox;
            break;
        case WM_CTLCOLORSTATIC:
            handler = &CQuelkControlBase::OnCtlColorStatic;
            break;
        case WM_DRAWITEM:
            handler = &CQuelkControlBase::OnDrawItem;
            break;
        case WM_DESTROY:
            // The items still live: each tooltip takes its hold on its item back as it goes.
            tooltips_.Clear();
            return FALSE;
        case WM_COMMAND: {
            const UINT code = HIWORD(wParam);
            for (const CommandEntry& entry : kCommandEntries) {
                if (entry.code != code) continue;
                handled = TRUE;
                result = (this->*entry.handler)(code, wParam, lParam, handled);
                if (handled) return TRUE;
            }
            return FALSE;
        }
        default:
            return FALSE;
    }
    result = (this->*handler)(message, wParam, lParam, handled);
    return handled;
}

int CQuelkControlBase::GetControlKind(HWND window) noexcept {
    if (!window) return 0;
    wchar_t name[kClassNameChars] = {};
    if (::GetClassNameW(window, name, kClassNameChars) == 0) return 0;
    for (size_t i = 0; i < std::size(kControlKinds); ++i) {
        if (::lstrcmpiW(name, kControlKinds[i]) == 0) return static_cast<int>(i + 1);
    }
    return 0;
}

int CQuelkControlBase::FindRowByControlId(UINT controlId) const noexcept {
    for (UINT row = 0; row < m_rowCount; ++row) {
        if (m_rows[row].controlId == controlId) return static_cast<int>(row);
    }
    return -1;
}
