// What a person sees of the block pages in Wine's dialog font: every label's words fit its rectangle, and
// no coloured area background paints over a field (read from the pixels the page painted).
#include <windows.h>

#include <string>

#include "VarnokP3.h"
#include "tests/ui/pages/BlockPageFixture.h"

namespace {

struct LayoutCase {
    const char* name;
    const CLSID* clsid;
};

// Cases print by name.
void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

const LayoutCase kPages[] = {
    {"AiFlow", &CLSID_Q1_AIFBFlow},
    {"AiTotalizer", &CLSID_Q3_AIFBTotal},
    {"MassFlow", &CLSID_P4_TBMassFlow},
};

const COLORREF kAreaColors[] = {0xFFFF96, 0xD2FFFF, 0xAED7FF, 0xD7FDD5, 0x64D7FF};

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t found[32] = {};
    ::GetClassNameW(window, found, 32);
    return ::lstrcmpiW(found, name) == 0;
}

class PageLayoutTest : public pagetest::BlockPageFixture, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(PageLayoutTest, EveryLabelFitsItsRectangle) {
    ASSERT_NO_FATAL_FAILURE(OpenPage(*GetParam().clsid));
    for (HWND child = ::GetWindow(dialog_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = ::GetWindowLongW(child, GWL_STYLE);
        if (!IsClass(child, L"Static") || !(style & WS_VISIBLE) || (style & SS_TYPEMASK) > SS_RIGHT) continue;
        const std::wstring text = pagetest::WindowText(child);
        if (text.empty()) continue;
        const HDC dc = ::GetDC(child);
        const HGDIOBJ old =
            ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)));
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        ::SelectObject(dc, old);
        ::ReleaseDC(child, dc);
        RECT client{};
        ::GetClientRect(child, &client);
        EXPECT_LE(extent.cx, client.right) << "label " << ::GetDlgCtrlID(child) << " is cut";
    }
}

TEST_P(PageLayoutTest, NoAreaBackgroundCoversAField) {
    ASSERT_NO_FATAL_FAILURE(OpenPage(*GetParam().clsid));
    ::RedrawWindow(frameWindow_.Get(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const HDC dc = ::GetDC(dialog_);
    int fields = 0;
    for (HWND child = ::GetWindow(dialog_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!IsClass(child, L"Edit") || !::IsWindowVisible(child)) continue;
        RECT box{};
        ::GetWindowRect(child, &box);
        ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&box), 2);
        // Just inside the field's border, left of any text.
        const COLORREF pixel = ::GetPixel(dc, box.left + 3, box.top + 3);
        for (COLORREF area : kAreaColors) EXPECT_NE(area, pixel) << "field " << ::GetDlgCtrlID(child);
        ++fields;
    }
    ::ReleaseDC(dialog_, dc);
    EXPECT_LT(5, fields);
}

INSTANTIATE_TEST_SUITE_P(BlockPages, PageLayoutTest, ::testing::ValuesIn(kPages),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

}  // namespace
