// Every block page as a person sees it: hosted at its own size, painted into its window surface and read
// back pixel by pixel. No area background may cover a control (the control would show only the area's
// colour), and every label shows its whole text in the dialog font the platform gives it.
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

INSTANTIATE_TEST_SUITE_P(EveryPage, PagePainting, ::testing::ValuesIn(kPages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
