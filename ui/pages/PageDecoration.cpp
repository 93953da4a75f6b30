#include "ui/pages/PageDecoration.h"

#include <string>
#include <string_view>

#include "classlib/DeviceContext.h"

namespace {

constexpr UINT kLabelFormat = DT_WORDBREAK | DT_EXPANDTABS;

bool IsStatic(HWND window) noexcept {
    wchar_t name[16] = {};
    return ::GetClassNameW(window, name, 16) > 0 && std::wstring_view(name) == L"Static";
}

// The width `window`'s text needs on one line in its own font; 0 when it fits its client area as it is.
LONG MissingWidth(HWND window, LONG styleType) noexcept {
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return 0;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    RECT client{};
    ::GetClientRect(window, &client);
    ql::WindowDc dc(window);
    if (!dc.Get()) return 0;
    ql::SelectedObject font(dc.Get(), reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)));
    const UINT format = kLabelFormat | (styleType == SS_RIGHT    ? DT_RIGHT
                                        : styleType == SS_CENTER ? DT_CENTER
                                                                 : 0);
    RECT wrapped{0, 0, client.right, 0};
    ::DrawTextW(dc.Get(), text.c_str(), -1, &wrapped, format | DT_CALCRECT);
    if (wrapped.bottom <= client.bottom && wrapped.right <= client.right) return 0;
    RECT single{0, 0, 0, 0};
    ::DrawTextW(dc.Get(), text.c_str(), -1, &single, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    return single.right > client.right ? single.right - client.right : 0;
}

}  // namespace

void PlacePageOverlays(HWND dialog, const PageOverlay* overlays, size_t count) noexcept {
    if (!dialog || !overlays) return;
    for (size_t i = 0; i < count; ++i) {
        const HWND area = ::GetDlgItem(dialog, static_cast<int>(overlays[i].area));
        const HWND cover = ::GetDlgItem(dialog, static_cast<int>(overlays[i].overlay));
        RECT rect{};
        if (!area || !cover || !::GetWindowRect(area, &rect)) continue;
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        ::MoveWindow(cover, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
        ::InvalidateRect(cover, nullptr, TRUE);
    }
}

bool FindAreaColor(const PageAreaColor* colors, size_t count, UINT controlId, COLORREF& color) noexcept {
    for (size_t i = 0; colors && i < count; ++i) {
        if (controlId >= colors[i].first && controlId <= colors[i].last) {
            color = colors[i].color;
            return true;
        }
    }
    return false;
}

void FitLabelsToText(HWND dialog) noexcept {
    if (!dialog) return;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!IsStatic(child)) continue;
        const LONG type = ::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_RIGHT && type != SS_CENTER) continue;
        const LONG missing = MissingWidth(child, type);
        if (missing == 0) continue;
        RECT rect{};
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        const LONG shift = type == SS_RIGHT ? missing : type == SS_CENTER ? missing / 2 : 0;
        ::SetWindowPos(child, nullptr, rect.left - shift, rect.top, rect.right - rect.left + missing,
                       rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
