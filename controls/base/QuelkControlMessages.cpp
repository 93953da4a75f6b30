// The base message map and its handlers: the first showing of the dialog records each row's control window
// and creates the marker windows; control notifications reach the change and commit handlers of the row
// whose control sent them; and the kind of a window from its class name.
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

// Marker windows: a small static right of the bound control, in the dialog's font.
constexpr int kMarkerGap = 2;
constexpr int kMarkerWidth = 10;

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

LRESULT CQuelkControlBase::OnShowWindow(UINT, WPARAM show, LPARAM, BOOL&) noexcept {
    if (!show) return 0;
    (void)InitStateTable();
    if (shownOnce_ || !dialog_) return 0;
    shownOnce_ = true;
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(dialog_, WM_GETFONT, 0, 0));
    for (UINT row = 0; row < m_rowCount; ++row) {
        ParameterMapEntry& entry = m_rows[row];
        entry.controlWindow = RowItem(row);
        if (entry.markerFlag != 1 || !entry.controlWindow) continue;
        RECT bounds{};
        ::GetWindowRect(entry.controlWindow, &bounds);
        ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&bounds), 2);
        // A child of the dialog: it goes with the dialog.
        entry.markerWindow =
            ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, bounds.right + kMarkerGap, bounds.top,
                              kMarkerWidth, bounds.bottom - bounds.top, dialog_, nullptr,
                              ql::ComModule::Instance().ModuleInstance(), nullptr);
        if (entry.markerWindow && font)
            ::SendMessageW(entry.markerWindow, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return 0;
}

LRESULT CQuelkControlBase::OnControlCommit(UINT, WPARAM wParam, LPARAM, BOOL& handled) noexcept {
    if (m_loading || m_updating || committing_) return 0;
    const int row = FindRowByControlId(LOWORD(wParam));
    if (row < 0) {
        handled = FALSE;
        return 0;
    }
    committing_ = true;
    VARIANT_BOOL valid = VARIANT_FALSE;
    (void)ValidateParameter(m_rows[row].id, &valid);
    committing_ = false;
    return 0;
}

LRESULT CQuelkControlBase::OnControlChange(UINT, WPARAM wParam, LPARAM, BOOL& handled) noexcept {
    if (m_loading || m_updating) return 0;
    const int row = FindRowByControlId(LOWORD(wParam));
    if (row < 0) {
        handled = FALSE;
        return 0;
    }
    VARIANT_BOOL valid = VARIANT_FALSE;
    (void)ValidateParameter(m_rows[row].id, &valid);
    return 0;
}

int CQuelkControlBase::FindRowByControlId(UINT controlId) const noexcept {
    for (UINT row = 0; row < m_rowCount; ++row) {
        if (m_rows[row].controlId == controlId) return static_cast<int>(row);
    }
    return -1;
}
