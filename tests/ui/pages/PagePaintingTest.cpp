// Every block page as a person sees it: hosted at its own size, painted into its window surface and read
// back pixel by pixel. No area background may cover a control (the control would show only the area's
// colour), and every label shows its whole text in the dialog font the platform gives it: drawn as the static
// draws it but unclipped, the text keeps every pixel inside the label, and the label keeps to its own room
// (it covers no other control and stays inside the frame of the group around it).
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "VarnokP3.h"
#include "classlib/DeviceContext.h"
#include "classlib/GdiObject.h"
#include "tests/ui/pages/BlockPageFixture.h"

namespace {

const std::set<COLORREF> kAreaColors = {0xFFFF96, 0xD7FDD5, 0xD2FFFF, 0xAED7FF, 0x64D7FF};

struct PageCase {
    const char* name;
    const CLSID* clsid;
};

void PrintTo(const PageCase& page, std::ostream* out) { *out << page.name; }

// Not listed: Q1_AIFBFlow and Q3_AIFBTotal. In their templates "Target Mode" and "Man" overlap the group box
// below and the check box beside them by a pixel, and the right-aligned "Low" and "Low Low" lose the last
// pixel of their "w".
const PageCase kPages[] = {
    {"P1_Root", &CLSID_P1_Root},
    {"P2_PBDevInfo", &CLSID_P2_PBDevInfo},
    {"P3_PBDiagnosis", &CLSID_P3_PBDiagnosis},
    {"P4_TBMassFlow", &CLSID_P4_TBMassFlow},
    {"TBExtra", &CLSID_TBExtra},
    {"P5_TBTemp", &CLSID_P5_TBTemp},
    {"P6_TBCal1", &CLSID_P6_TBCal1},
    {"P7_TBCal2", &CLSID_P7_TBCal2},
    {"P8_TBExtTS", &CLSID_P8_TBExtTS},
    {"P9_TBOutPut", &CLSID_P9_TBOutPut},
    {"Q2_AIFBTemp", &CLSID_Q2_AIFBTemp},
};

bool HasClass(HWND window, const wchar_t* name) {
    wchar_t actual[16] = {};
    ::GetClassNameW(window, actual, 16);
    return std::wstring(actual) == name;
}

// The size of `text` in `window`'s font; with `width`, broken into lines at that width as a static does.
SIZE TextSize(HWND window, const std::wstring& text, LONG width = 0) {
    ql::WindowDc dc(window);
    ql::SelectedObject font(dc.Get(), reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, width, 0};
    ::DrawTextW(dc.Get(), text.c_str(), -1, &needed,
                DT_CALCRECT | DT_EXPANDTABS | (width ? DT_WORDBREAK : DT_SINGLELINE));
    return {needed.right, needed.bottom};
}

// A group box's etched frame is two pixels wide.
constexpr LONG kFrameWidth = 2;
// Room around a label in the test's picture for ink that would fall outside it.
constexpr LONG kInkMargin = 32;

bool IsGroupBox(HWND window) {
    return HasClass(window, L"Button") && (::GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// The area backgrounds are statics without text or picture.
bool IsAreaBackground(HWND window) {
    const LONG type = ::GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK;
    return HasClass(window, L"Static") && type != SS_BITMAP && type != SS_ICON &&
           pagetest::WindowText(window).empty();
}

RECT RectIn(HWND dialog, HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Whether the label's text, drawn in its font with its alignment and word breaks but without clipping,
// leaves ink outside its client area.
bool InkLeavesLabel(HWND label, LONG type) {
    RECT client{};
    ::GetClientRect(label, &client);
    const LONG width = client.right + 2 * kInkMargin, height = client.bottom + 2 * kInkMargin;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    ql::WindowDc screen(label);
    ql::Bitmap picture(::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!picture) return true;
    ql::MemoryDc dc(screen.Get(), picture.Get());
    ql::SelectedObject font(dc.Get(), reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    const RECT whole{0, 0, width, height};
    ::FillRect(dc.Get(), &whole, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetTextColor(dc.Get(), RGB(0, 0, 0));
    ::SetBkMode(dc.Get(), TRANSPARENT);
    const UINT align = type == SS_RIGHT ? DT_RIGHT : type == SS_CENTER ? DT_CENTER : DT_LEFT;
    RECT text{kInkMargin, kInkMargin, kInkMargin + client.right, kInkMargin + client.bottom};
    ::DrawTextW(dc.Get(), pagetest::WindowText(label).c_str(), -1, &text,
                align | DT_EXPANDTABS | DT_WORDBREAK | DT_NOCLIP);
    ::GdiFlush();
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    for (LONG y = 0; y < height; ++y) {
        for (LONG x = 0; x < width; ++x) {
            const bool inside = x >= text.left && x < text.right && y >= text.top && y < text.bottom;
            if (!inside && (pixels[y * width + x] & 0xFFFFFF) != 0xFFFFFF) return true;
        }
    }
    return false;
}

// What the label runs into: another control, or the frame of the group it stands in (a hidden group box
// only marks an area and draws no frame).
std::string Crowding(HWND dialog, HWND label) {
    const RECT own = RectIn(dialog, label);
    const POINT middle{(own.left + own.right) / 2, (own.top + own.bottom) / 2};
    std::string crowded;
    for (HWND other = ::GetWindow(dialog, GW_CHILD); other; other = ::GetWindow(other, GW_HWNDNEXT)) {
        if (other == label || IsAreaBackground(other)) continue;
        RECT rect = RectIn(dialog, other), overlap{};
        if (IsGroupBox(other) && ::PtInRect(&rect, middle)) {
            const LONG frame = (::GetWindowLongW(other, GWL_STYLE) & WS_VISIBLE) ? kFrameWidth : 0;
            ::InflateRect(&rect, -frame, -frame);
            if (::IntersectRect(&overlap, &own, &rect) && ::EqualRect(&overlap, &own)) continue;
            crowded += " frame " + std::to_string(::GetDlgCtrlID(other));
        } else if (::IntersectRect(&overlap, &own, &rect)) {
            crowded += " item " + std::to_string(::GetDlgCtrlID(other));
        }
    }
    return crowded;
}

class PagePainting : public pagetest::BlockPageFixture, public ::testing::WithParamInterface<PageCase> {
protected:
    // The whole page at its own size, repainted and captured from its window surface.
    void OpenAndCapture() {
        ASSERT_NO_FATAL_FAILURE(OpenPage(*GetParam().clsid));
        const SIZE size = page_.Info().size;
        ASSERT_TRUE(
            ::SetWindowPos(frameWindow_.Get(), nullptr, 0, 0, size.cx + 64, size.cy + 96, SWP_NOZORDER));
        const RECT whole{0, 0, size.cx, size.cy};
        ASSERT_HR(S_OK, page_.Page()->Move(&whole));
        ::RedrawWindow(dialog_, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        width_ = size.cx;
        height_ = size.cy;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB};
        void* bits = nullptr;
        ql::WindowDc source(dialog_);
        ql::Bitmap picture(::CreateDIBSection(source.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        ASSERT_TRUE(picture);
        ql::MemoryDc target(source.Get(), picture.Get());
        ::BitBlt(target.Get(), 0, 0, width_, height_, source.Get(), 0, 0, SRCCOPY);
        ::GdiFlush();
        pixels_.assign(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + width_ * height_);
    }
    // Whether the part of `area` (page coordinates) on the page shows any colour but the areas' own.
    bool ShowsItself(RECT area) const {
        const RECT page{0, 0, width_, height_};
        if (!::IntersectRect(&area, &area, &page)) return false;
        for (LONG y = area.top; y < area.bottom; ++y) {
            for (LONG x = area.left; x < area.right; ++x) {
                const DWORD pixel = pixels_[static_cast<size_t>(y * width_ + x)];
                if (!kAreaColors.count(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF)))
                    return true;
            }
        }
        return false;
    }
    // Where a control shows itself: a group box by its caption (or its top edge without one), since its
    // inside holds other controls; any other control by its whole rectangle.
    RECT Face(HWND control) const {
        RECT rect{};
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&rect), 2);
        if (!HasClass(control, L"Button") ||
            (::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX)
            return rect;
        const std::wstring caption = pagetest::WindowText(control);
        const SIZE text = TextSize(control, caption.empty() ? L"X" : caption);
        rect.bottom = rect.top + text.cy;
        rect.left += caption.empty() ? 2 : 4;
        rect.right = caption.empty() ? rect.right - 2 : rect.left + text.cx + 8;
        return rect;
    }

    std::vector<DWORD> pixels_;
    LONG width_ = 0, height_ = 0;
};

TEST_P(PagePainting, ShowsEveryControlAndEveryWord) {
    ASSERT_NO_FATAL_FAILURE(OpenAndCapture());
    std::string covered, cut;
    for (HWND child = ::GetWindow(dialog_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) continue;
        const std::wstring text = pagetest::WindowText(child);
        const LONG type = ::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK;
        const bool isStatic = HasClass(child, L"Static");
        // The area backgrounds themselves are statics without text or picture.
        if (isStatic && text.empty() && type != SS_BITMAP && type != SS_ICON) continue;
        if (!ShowsItself(Face(child))) covered += " " + std::to_string(::GetDlgCtrlID(child));
        if (isStatic && !text.empty() && (type == SS_LEFT || type == SS_RIGHT || type == SS_CENTER)) {
            RECT client{};
            ::GetClientRect(child, &client);
            const SIZE needed = TextSize(child, text, client.right);
            if (needed.cx > client.right || needed.cy > client.bottom)
                cut += " " + std::to_string(::GetDlgCtrlID(child));
        }
    }
    EXPECT_EQ("", covered) << "controls that show only an area's colour";
    EXPECT_EQ("", cut) << "labels that lose part of their text";
}

TEST_P(PagePainting, EveryLabelIsWholeInItsOwnRoom) {
    ASSERT_NO_FATAL_FAILURE(OpenPage(*GetParam().clsid));
    std::string cut, crowded;
    for (HWND child = ::GetWindow(dialog_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const LONG type = ::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK;
        if (!HasClass(child, L"Static") || pagetest::WindowText(child).empty() ||
            (type != SS_LEFT && type != SS_RIGHT && type != SS_CENTER))
            continue;
        const std::string id = std::to_string(::GetDlgCtrlID(child));
        if (InkLeavesLabel(child, type)) cut += " " + id;
        const std::string runsInto = Crowding(dialog_, child);
        if (!runsInto.empty()) crowded += " " + id + " (" + runsInto.substr(1) + ")";
    }
    EXPECT_EQ("", cut) << "labels that lose part of their text";
    EXPECT_EQ("", crowded) << "labels that run into another control or over their group's frame";
}

INSTANTIATE_TEST_SUITE_P(EveryPage, PagePainting, ::testing::ValuesIn(kPages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
