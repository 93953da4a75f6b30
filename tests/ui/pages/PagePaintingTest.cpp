// Every block page as a person sees it: hosted, painted into its window surface and read back pixel by
// pixel. The coloured area backgrounds must stay behind the controls (a background painted over a
// control leaves only its colour where the control should be), and every label shows its whole text in
// the dialog font the platform gives it.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "VarnokP3.h"
#include "classlib/DeviceContext.h"
#include "classlib/GdiObject.h"
#include "tests/ui/pages/BlockPageFixture.h"

namespace {

// The colours the pages paint their areas in.
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

std::string ClassOf(HWND window) {
    char name[32] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

bool IsGroupBox(HWND window) {
    return ClassOf(window) == "Button" && (::GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// A static that shows a text (not a picture, not an empty backdrop).
bool IsTextLabel(HWND window) {
    if (ClassOf(window) != "Static" || pagetest::WindowText(window).empty()) return false;
    const LONG type = ::GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_RIGHT || type == SS_CENTER;
}

// A control a person should see: a visible child other than an empty static (the backdrops).
bool IsShownControl(HWND window) {
    if (!::IsWindowVisible(window)) return false;
    if (ClassOf(window) != "Static") return true;
    const LONG type = ::GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK;
    return type == SS_BITMAP || type == SS_ICON || !pagetest::WindowText(window).empty();
}

class PagePainting : public pagetest::BlockPageFixture, public ::testing::WithParamInterface<PageCase> {
protected:
    // The page at its own size in a frame large enough to hold it, as the parameterization window shows
    // it (scrolled there; here the whole page stands in the frame's surface at once).
    void OpenWholePage(const CLSID& clsid) {
        ASSERT_NO_FATAL_FAILURE(OpenPage(clsid));
        const SIZE size = page_.Info().size;
        ASSERT_TRUE(::SetWindowPos(frameWindow_.Get(), nullptr, 0, 0, size.cx + 64, size.cy + 96,
                                   SWP_NOZORDER | SWP_NOACTIVATE));
        const RECT whole{0, 0, size.cx, size.cy};
        ASSERT_HR(S_OK, page_.Page()->Move(&whole));
    }
    // Where a group box shows itself: its caption, or the top edge when it has none; its inside holds
    // other controls.
    RECT GroupBoxFace(HWND box) const {
        RECT rect = ClientRectOf(box);
        ql::WindowDc dc(box);
        ql::SelectedObject font(dc.Get(), reinterpret_cast<HFONT>(::SendMessageW(box, WM_GETFONT, 0, 0)));
        const std::wstring caption = pagetest::WindowText(box);
        SIZE extent{0, 0};
        ::GetTextExtentPoint32W(dc.Get(), caption.empty() ? L"X" : caption.c_str(),
                                static_cast<int>(caption.empty() ? 1 : caption.size()), &extent);
        rect.bottom = rect.top + extent.cy;
        if (caption.empty()) {
            rect.left += 2;
            rect.right -= 2;
        } else {
            rect.left += 4;
            rect.right = rect.left + extent.cx + 8;
        }
        return rect;
    }
    // The page's client area as it stands in its window surface after a full repaint.
    void Capture() {
        ::RedrawWindow(dialog_, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        RECT client{};
        ::GetClientRect(dialog_, &client);
        width_ = client.right;
        height_ = client.bottom;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB};
        void* bits = nullptr;
        ql::WindowDc source(dialog_);
        ql::Bitmap picture(::CreateDIBSection(source.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        ASSERT_TRUE(picture);
        ql::MemoryDc target(source.Get(), picture.Get());
        ::BitBlt(target.Get(), 0, 0, width_, height_, source.Get(), 0, 0, SRCCOPY);
        ::GdiFlush();
        const auto* first = static_cast<const DWORD*>(bits);
        pixels_.assign(first, first + static_cast<size_t>(width_) * static_cast<size_t>(height_));
    }
    // Whether any pixel of `area` (page client coordinates) has a colour other than the areas' own.
    bool ShowsMoreThanAreaColors(RECT area) const {
        RECT bounds{0, 0, width_, height_};
        if (!::IntersectRect(&area, &area, &bounds)) return false;
        for (LONG y = area.top; y < area.bottom; ++y) {
            for (LONG x = area.left; x < area.right; ++x) {
                const DWORD pixel = pixels_[static_cast<size_t>(y) * width_ + x];
                const COLORREF color = RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
                if (!kAreaColors.count(color)) return true;
            }
        }
        return false;
    }
    RECT ClientRectOf(HWND child) const {
        RECT rect{};
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    std::vector<DWORD> pixels_;
    LONG width_ = 0, height_ = 0;
};

TEST_P(PagePainting, NoAreaBackgroundCoversAControl) {
    ASSERT_NO_FATAL_FAILURE(OpenWholePage(*GetParam().clsid));
    ASSERT_NO_FATAL_FAILURE(Capture());
    std::string covered;
    int checked = 0;
    for (HWND child = ::GetWindow(dialog_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!IsShownControl(child)) continue;
        const RECT rect = IsGroupBox(child) ? GroupBoxFace(child) : ClientRectOf(child);
        ++checked;
        if (!ShowsMoreThanAreaColors(rect)) covered += " " + std::to_string(::GetDlgCtrlID(child));
    }
    EXPECT_GT(checked, 0);
    EXPECT_EQ("", covered) << "controls showing only an area colour";
}

// A label's text, broken into lines at its width as the static breaks it, fits its height: no word is lost.
TEST_P(PagePainting, EveryLabelShowsItsWholeText) {
    ASSERT_NO_FATAL_FAILURE(OpenWholePage(*GetParam().clsid));
    std::string cut;
    for (HWND child = ::GetWindow(dialog_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child) || !IsTextLabel(child)) continue;
        RECT client{};
        ::GetClientRect(child, &client);
        ql::WindowDc dc(child);
        ql::SelectedObject font(dc.Get(), reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)));
        const std::wstring text = pagetest::WindowText(child);
        RECT needed{0, 0, client.right, 0};
        ::DrawTextW(dc.Get(), text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
        if (needed.bottom > client.bottom || needed.right > client.right) {
            cut += " " + std::to_string(::GetDlgCtrlID(child));
        }
    }
    EXPECT_EQ("", cut) << "labels that lose part of their text";
}

INSTANTIATE_TEST_SUITE_P(EveryPage, PagePainting, ::testing::ValuesIn(kPages),
                         [](const ::testing::TestParamInfo<PageCase>& info) { return info.param.name; });

}  // namespace
