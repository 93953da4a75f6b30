#include "ui/pages/LabelFitting.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "classlib/DeviceContext.h"
#include "classlib/GdiObject.h"

namespace {

constexpr UINT kLabelFormat = DT_WORDBREAK | DT_EXPANDTABS;
// Pixels kept free between a label and a control beside it.
constexpr LONG kGap = 2;
// A group box's etched frame is two pixels wide.
constexpr LONG kFrameWidth = 2;
// The smallest size a label's font is brought down to, as a share of the dialog font's height.
constexpr LONG kSmallestSizeNumerator = 3, kSmallestSizeDenominator = 4;
constexpr UINT_PTR kOwnFontSubclass = 1;

// The platform places the glyphs of a line at their unrounded advances, so what it draws may reach a pixel or
// two (about one in a hundred) past the line's measured extent, and a static clips its text to its client.
LONG WithInk(LONG extent) noexcept { return extent + 2 + extent / 64; }

bool HasClass(HWND window, const wchar_t* name) noexcept {
    wchar_t found[16] = {};
    return ::GetClassNameW(window, found, 16) > 0 && ::lstrcmpiW(found, name) == 0;
}

LONG StaticType(HWND window) noexcept { return ::GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK; }

std::wstring TextOf(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

// The coloured area backgrounds are statics without text or picture; they move onto their areas later.
bool IsAreaBackground(HWND window) noexcept {
    const LONG type = StaticType(window);
    return HasClass(window, L"Static") && type != SS_BITMAP && type != SS_ICON &&
           ::GetWindowTextLengthW(window) == 0;
}

bool IsGroupBox(HWND window) noexcept {
    return HasClass(window, L"Button") && (::GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

RECT RectInDialog(HWND dialog, HWND child) noexcept {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Encloses(const RECT& outer, const RECT& inner) noexcept {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

struct Span {
    LONG left, right;
};

// How far the label at `rect` may reach on its lines: up to the nearest control beside it on either side
// (less a gap) and inside the frame of every group box around it; never less than its own rectangle.
Span RoomBeside(HWND dialog, HWND label, const RECT& rect) noexcept {
    RECT client{};
    ::GetClientRect(dialog, &client);
    Span room{client.left, client.right};
    for (HWND other = ::GetWindow(dialog, GW_CHILD); other; other = ::GetWindow(other, GW_HWNDNEXT)) {
        if (other == label || IsAreaBackground(other)) continue;
        const RECT beside = RectInDialog(dialog, other);
        if (beside.top >= rect.bottom || beside.bottom <= rect.top) continue;  // above or below its lines
        if (Encloses(beside, rect)) {
            if (!IsGroupBox(other)) continue;
            // A hidden group box only marks an area: it draws no frame.
            const LONG frame = (::GetWindowLongW(other, GWL_STYLE) & WS_VISIBLE) ? kFrameWidth : 0;
            room.left = std::max(room.left, beside.left + frame + kGap);
            room.right = std::min(room.right, beside.right - frame - kGap);
        } else if (beside.left >= rect.right) {
            room.right = std::min(room.right, beside.left - kGap);
        } else if (beside.right <= rect.left) {
            room.left = std::max(room.left, beside.right + kGap);
        }
    }
    return {std::min(room.left, rect.left), std::max(room.right, rect.right)};
}

UINT AlignmentFormat(LONG type) noexcept {
    return type == SS_RIGHT ? DT_RIGHT : type == SS_CENTER ? DT_CENTER : DT_LEFT;
}

// The measured extent of `text` on one line in `font`.
LONG LineExtent(HDC dc, HFONT font, const std::wstring& text) noexcept {
    ql::SelectedObject selected(dc, font);
    RECT line{0, 0, 0, 0};
    ::DrawTextW(dc, text.c_str(), -1, &line, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    return line.right;
}

// Whether `text`, broken into lines at the width of `client` as the static breaks it, fits `client`.
bool FitsAsItIs(HDC dc, HFONT font, const std::wstring& text, const RECT& client, LONG type) noexcept {
    ql::SelectedObject selected(dc, font);
    RECT wrapped{0, 0, client.right, 0};
    ::DrawTextW(dc, text.c_str(), -1, &wrapped, kLabelFormat | AlignmentFormat(type) | DT_CALCRECT);
    return wrapped.bottom <= client.bottom && WithInk(wrapped.right) <= client.right;
}

// The largest smaller size of `font` in which `text` takes at most `width` pixels on one line, its ink
// included; null when not even the smallest size tried does.
HFONT SmallerFontFor(HDC dc, HFONT font, const std::wstring& text, LONG width) noexcept {
    LOGFONTW shape{};
    if (!::GetObjectW(font, sizeof shape, &shape) || shape.lfHeight == 0) return nullptr;
    const LONG sign = shape.lfHeight < 0 ? -1 : 1;
    const LONG height = shape.lfHeight * sign;
    for (LONG size = height - 1; size >= height * kSmallestSizeNumerator / kSmallestSizeDenominator; --size) {
        shape.lfHeight = size * sign;
        shape.lfWidth = 0;
        ql::Font smaller(::CreateFontIndirectW(&shape));
        if (smaller && WithInk(LineExtent(dc, smaller.Get(), text)) <= width) return smaller.Detach();
    }
    return nullptr;
}

// The label's own font goes with the label: after its last message the font is deleted.
LRESULT CALLBACK OwnFontProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                             DWORD_PTR font) {
    if (message != WM_NCDESTROY) return ::DefSubclassProc(window, message, wParam, lParam);
    const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
    ::RemoveWindowSubclass(window, OwnFontProc, id);
    ql::Font owned(reinterpret_cast<HFONT>(font));
    return result;
}

// Hands `label` the font it then owns; false (the font deleted) when the label cannot keep it.
bool GiveOwnFont(HWND label, HFONT font) noexcept {
    ql::Font owned(font);
    if (!::SetWindowSubclass(label, OwnFontProc, kOwnFontSubclass, reinterpret_cast<DWORD_PTR>(font)))
        return false;
    ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(owned.Detach()), FALSE);
    return true;
}

void FitLabel(HWND dialog, HWND label, LONG type) noexcept {
    const std::wstring text = TextOf(label);
    if (text.empty()) return;
    RECT client{};
    ::GetClientRect(label, &client);
    ql::WindowDc dc(label);
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0));
    if (!dc.Get() || FitsAsItIs(dc.Get(), font, text, client, type)) return;

    const RECT rect = RectInDialog(dialog, label);
    const Span room = RoomBeside(dialog, label, rect);
    const LONG available = type == SS_LEFT    ? room.right - rect.left
                           : type == SS_RIGHT ? rect.right - room.left
                                              : room.right - room.left;
    const LONG extent = LineExtent(dc.Get(), font, text);
    LONG needed = WithInk(extent);
    if (extent > available) {
        // Not even the room beside it takes the text: a smaller size of the font that fits, when there is
        // one; otherwise the label takes the whole room and shows what fits.
        if (const HFONT smaller = SmallerFontFor(dc.Get(), font, text, available)) {
            const LONG smallerNeeded = WithInk(LineExtent(dc.Get(), smaller, text));
            if (GiveOwnFont(label, smaller)) needed = smallerNeeded;
        }
    }
    const LONG width = std::min(std::max(needed, rect.right - rect.left), available);
    LONG left = rect.left;
    if (type == SS_RIGHT) {
        left = rect.right - width;
    } else if (type == SS_CENTER) {
        left = std::clamp((rect.left + rect.right - width) / 2, room.left, room.right - width);
    }
    ::SetWindowPos(label, nullptr, left, rect.top, width, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void FitLabelsToText(HWND dialog) noexcept {
    if (!dialog) return;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!HasClass(child, L"Static")) continue;
        const LONG type = StaticType(child);
        if (type == SS_LEFT || type == SS_RIGHT || type == SS_CENTER) FitLabel(dialog, child, type);
    }
}
