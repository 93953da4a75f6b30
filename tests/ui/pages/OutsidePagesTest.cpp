// The pages without parameters, as any property-page container creates them by class id: their title,
// frame caption, empty fields, area colours, and the root's device picture.
#include <windows.h>

#include <string>

#include "VarnokP3.h"
#include "classlib/PropertyPageSite.h"
#include "classlib/WindowOwner.h"
#include "tests/controls/base/ControlTestSupport.h"
#include "ui/pages/PageResources.h"

namespace {

using controltest::WindowText;

class PageSite final : public ql::ComObjectBase<PageSite>, public ql::PropertyPageSite {
    QL_INTERFACE_TABLE(PageSite, QL_ENTRY_CHAIN(ql::PropertyPageSite))
};

struct OutsidePage {
    const CLSID* clsid;
    const wchar_t* title;
    const wchar_t* frameCaption;
    int emptyEdits;
};

const OutsidePage kPages[] = {
    {&CLSID_P5_TBTemp, L"Varnok Thermal Mass Flowmeter\\Transducer Block\\Temperature",
     L"TRANSDUCER BLOCK - Temperature", 21},
    {&CLSID_P6_TBCal1, L"Varnok Thermal Mass Flowmeter\\Transducer Block\\Calibration 1",
     L"TRANSDUCER BLOCK - Calibration 1", 9},
    {&CLSID_P7_TBCal2, L"Varnok Thermal Mass Flowmeter\\Transducer Block\\Calibration 2",
     L"TRANSDUCER BLOCK - Calibration 2", 15},
    {&CLSID_P8_TBExtTS, L"Varnok Thermal Mass Flowmeter\\Transducer Block\\Ext. Trouble Shooting",
     L"TRANSDUCER BLOCK - Extended Trouble Shooting", 13},
    {&CLSID_P9_TBOutPut, L"Varnok Thermal Mass Flowmeter\\Transducer Block\\Output Setup",
     L"TRANSDUCER BLOCK", 4},
    {&CLSID_Q2_AIFBTemp, L"Varnok Thermal Mass Flowmeter\\AI Function Block\\Temperature",
     L"AI FUNCTION BLOCK ( TEMPERATURE )", 44},
};

class OutsidePageTest : public vtest::ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        frame_.Attach(::CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900,
                                        800, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(frame_);
        ASSERT_HR(S_OK, ql::MakeObject(site_));
    }
    void TearDown() override {
        page_.Reset();
        frame_.Reset();
        site_.Reset();
    }
    void Open(const CLSID& clsid) {
        ASSERT_HR(S_OK, page_.Create(clsid, site_.Get(), 0, nullptr));
        ASSERT_HR(S_OK, page_.Activate(frame_.Get(), RECT{0, 0, 800, 700}));
        ASSERT_HR(S_OK, page_.Page()->Show(SW_SHOW));
        dialog_ = ::GetWindow(frame_.Get(), GW_CHILD);
        ASSERT_TRUE(dialog_);
    }
    int CountEdits() const {
        int edits = 0;
        for (HWND child = ::GetWindow(dialog_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            wchar_t className[16] = {};
            ::GetClassNameW(child, className, 16);
            if (std::wstring(className) == L"Edit") {
                EXPECT_EQ(L"", WindowText(child));
                ++edits;
            }
        }
        return edits;
    }
    COLORREF AreaColor(int id) const {
        const HDC dc = ::GetDC(dialog_);
        ::SendMessageW(dialog_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog_, id)));
        const COLORREF color = ::GetBkColor(dc);
        ::ReleaseDC(dialog_, dc);
        return color;
    }

    ql::WindowOwner frame_;
    ql::ComPtr<PageSite> site_;
    ql::HostedPropertyPage page_;
    HWND dialog_ = nullptr;
};

class OutsidePageCreation : public OutsidePageTest, public ::testing::WithParamInterface<OutsidePage> {};

TEST_P(OutsidePageCreation, ShowsItsCaptionsAndEmptyFields) {
    ASSERT_NO_FATAL_FAILURE(Open(*GetParam().clsid));
    EXPECT_STREQ(GetParam().title, page_.Info().pszTitle);
    EXPECT_EQ(GetParam().frameCaption, WindowText(::GetDlgItem(dialog_, IDC_LAYOUT_FRAME)));
    EXPECT_EQ(GetParam().emptyEdits, CountEdits());
    EXPECT_EQ(COLORREF{0xFFFF96}, AreaColor(IDC_LAYOUT_FRAME));
    EXPECT_EQ(COLORREF{0xD7FDD5}, AreaColor(IDC_LAYOUT_AREA1));
    // The frame's overlay lies exactly over the frame.
    RECT frame{}, overlay{};
    ::GetWindowRect(::GetDlgItem(dialog_, IDC_LAYOUT_FRAME), &frame);
    ::GetWindowRect(::GetDlgItem(dialog_, IDC_LAYOUT_FRAME_OVERLAY), &overlay);
    EXPECT_TRUE(::EqualRect(&frame, &overlay));
}

INSTANTIATE_TEST_SUITE_P(EveryPage, OutsidePageCreation, ::testing::ValuesIn(kPages));

TEST_F(OutsidePageTest, CalibrationPageNamesItsCompensationArea) {
    ASSERT_NO_FATAL_FAILURE(Open(CLSID_P6_TBCal1));
    EXPECT_EQ(L"Temperature Compensation  Parameters", WindowText(::GetDlgItem(dialog_, IDC_LAYOUT_AREA1)));
}

TEST_F(OutsidePageTest, RootShowsTheDevicePictureAndNoField) {
    ASSERT_NO_FATAL_FAILURE(Open(CLSID_P1_Root));
    EXPECT_STREQ(L"Varnok Thermal Mass Flowmeter", page_.Info().pszTitle);
    EXPECT_NE(0, ::SendDlgItemMessageW(dialog_, IDC_ROOT_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
    EXPECT_EQ(0, CountEdits());
}

// The picture static does not free the bitmap it loaded: every open and close of the root would leave one
// behind.
TEST_F(OutsidePageTest, RootFreesItsPictureWhenClosed) {
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_NO_FATAL_FAILURE(Open(CLSID_P1_Root));
        const auto picture = reinterpret_cast<HGDIOBJ>(
            ::SendDlgItemMessageW(dialog_, IDC_ROOT_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
        ASSERT_EQ(static_cast<DWORD>(OBJ_BITMAP), ::GetObjectType(picture));
        page_.Reset();
        EXPECT_EQ(0u, ::GetObjectType(picture));
    }
}

}  // namespace
