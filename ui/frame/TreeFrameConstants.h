#pragma once
// What the parts of the parameterization window share: its modes, the buttons in the order
// the window tests them, and small conversions.
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <string_view>

#include "classlib/Variant.h"
#include "ui/frame/TreeFrameResources.h"
#include "values/AnsiText.h"

namespace treeframe {

// The function ids that open the window: offline and online parameterization.
constexpr ULONG kOfflineMode = 1;
constexpr ULONG kOnlineMode = 2;
constexpr int kPasswordChars = 100;
constexpr UINT kStartUpDelayMs = 1000;
constexpr int kTreeImageSize = 16;
// OK, Cancel, Apply, Help: the buttons' indices of IQuelkFrameButtons and the order in which the window looks
// for a default button.
constexpr int kButtons[] = {IDOK, IDCANCEL, IDC_TF_APPLY, IDC_TF_HELP};
constexpr UINT kButtonCount = 4;
// The notification by which a page puts the focus back on the control it last had.
constexpr WORD kRestoreFocusCode = 0x430;

inline ql::Variant I4(LONG value) noexcept {
    ql::Variant v;
    v.SetI4(value);
    return v;
}

inline ql::Variant UI4(ULONG value) noexcept {
    ql::Variant v;
    v.SetUI4(value);
    return v;
}

// A wide text in the system code page; "" for null or a text that does not convert.
inline std::string AnsiOf(const wchar_t* text) noexcept {
    std::string ansi;
    if (text && FAILED(WideToAnsi(std::wstring_view(text), ansi))) ansi.clear();
    return ansi;
}

// A button the user could press: its own style shows it and does not disable it.
inline bool IsUsable(HWND button) noexcept {
    if (!button) return false;
    const LONG style = ::GetWindowLongW(button, GWL_STYLE);
    return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

// A page's information as GetPageInfo hands it over: its task-memory texts are freed with it.
struct PageInfo {
    PROPPAGEINFO info{sizeof(PROPPAGEINFO)};
    PageInfo() noexcept = default;
    PageInfo(const PageInfo&) = delete;
    PageInfo& operator=(const PageInfo&) = delete;
    ~PageInfo() {
        ::CoTaskMemFree(info.pszTitle);
        ::CoTaskMemFree(info.pszDocString);
        ::CoTaskMemFree(info.pszHelpFile);
    }
};

}  // namespace treeframe
