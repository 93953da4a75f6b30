// The measured-values view as a frame opens it (function 5), online with the simulated flowmeter (the
// frame host's test reads a device value from it): the values with their PA status texts and units show in
// their groups, the groups' colours stay behind the fields, and the view scrolls when its window is smaller
// than its dialog.
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "classlib/AxControlSite.h"
#include "tests/controls/base/ControlTestSupport.h"
#include "tests/ui/views/ViewTestSupport.h"
#include "ui/views/ViewResources.h"

namespace {

using viewtest::DialogItemText;
using viewtest::IdRecordPayload;

class MeasuredValuesTest : public controltest::HostedUiFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DtmFixture::SetUp());
        ASSERT_NO_FATAL_FAILURE(GoOnlineForUi());
        ASSERT_HR(S_OK, ui_.OpenFunction(session_.Object(), 5));
        dialog_ = ui_.Container().Site()->ControlWindow();
        ASSERT_TRUE(dialog_);
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(ui_.Container().Control(), control_));
    }
    void TearDown() override {
        control_.Reset();
        HostedUiFixture::TearDown();
    }
    std::string Text(int id) const { return DialogItemText(dialog_, id); }
    void Notify(ULONG code, const ql::Variant& payload) {
        EXPECT_HR(S_OK, control_->OnNotify(code, *payload));
    }

    ql::ComPtr<IQuelkControl> control_;
};

// A group's fields: value, quality, sub-status, limits.
using GroupFields = std::array<int, 4>;
constexpr GroupFields kMassFlow{IDC_MV_MASSFLOW_VALUE, IDC_MV_MASSFLOW_QUALITY, IDC_MV_MASSFLOW_SUBSTATUS,
                                IDC_MV_MASSFLOW_LIMITS};
constexpr GroupFields kFlow{IDC_MV_FLOW_VALUE, IDC_MV_FLOW_QUALITY, IDC_MV_FLOW_SUBSTATUS,
                            IDC_MV_FLOW_LIMITS};
constexpr GroupFields kTotal{IDC_MV_TOTAL_VALUE, IDC_MV_TOTAL_QUALITY, IDC_MV_TOTAL_SUBSTATUS,
                             IDC_MV_TOTAL_LIMITS};

struct StatusCase {
    const char* name;
    ULONG id;
    std::vector<BYTE> record;
    GroupFields fields;
    std::array<const char*, 4> texts;
};

const StatusCase kStatusCases[] = {
    {"good", 46, {0x42, 0xC8, 0, 0, 0x80}, kMassFlow, {"100.00000", "Good (Non-Cascade)", "Ok", "Ok"}},
    {"good but low limited",
     46,
     {0x42, 0xC8, 0, 0, 0x81},
     kMassFlow,
     {"100.00000", "Good (Non-Cascade)", "Invalid Status!", "Low Limited"}},
    {"uncertain, a byte more",
     69,
     {0xC2, 0x28, 0, 0, 0x46, 0xFF},
     kFlow,
     {"-42.00000", "Uncertain", "Last Usable Value", "High Limited"}},
    {"too short for a status", 93, {0x42, 0xC8, 0, 0}, kTotal, {"0.00000", "Bad", "Non-specific", "Ok"}},
};

TEST_F(MeasuredValuesTest, ShowsEachValueWithTheTextsOfItsStatus) {
    for (const StatusCase& c : kStatusCases) {
        SCOPED_TRACE(c.name);
        Notify(viewtest::kDeviceValueNotify, IdRecordPayload(c.id, c.record));
        for (size_t field = 0; field < c.fields.size(); ++field)
            EXPECT_EQ(c.texts[field], Text(c.fields[field]));
        // The device's confirmation of a write is no new value.
        Notify(viewtest::kDeviceWrittenNotify, IdRecordPayload(c.id, {0x41, 0x20, 0, 0, 0}));
        EXPECT_EQ(c.texts[0], Text(c.fields[0]));
    }
}

TEST_F(MeasuredValuesTest, AScaleRecordsUnitBecomesTheFlowUnit) {
    // The output scale: 100 % at 100.0, 0 % at 0, unit 1332 (lb/h), 5 decimals.
    Notify(viewtest::kDeviceValueNotify,
           IdRecordPayload(71, {0x42, 0xC8, 0, 0, 0, 0, 0, 0, 0x05, 0x34, 0x05}));
    EXPECT_EQ("lb/h", Text(IDC_MV_FLOW_UNIT));
    ql::Variant unit;
    ASSERT_HR(S_OK, Store()->GetValue(109, unit.Put()));
    ASSERT_HR(S_OK, unit.ChangeType(VT_UI4));
    EXPECT_EQ(1332u, V_UI4(unit.Get()));
}

// The coloured overlays lie below the groups' fields: a field shows its own face, not the group's colour.
TEST_F(MeasuredValuesTest, GroupColoursStayBehindTheFields) {
    const viewtest::WindowPicture picture(dialog_);
    ASSERT_FALSE(picture.IsEmpty());
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    for (int field : {IDC_MV_MASSFLOW_LIMITS, IDC_MV_FLOW_LIMITS, IDC_MV_TOTAL_LIMITS}) {
        EXPECT_EQ(face, picture.AtCentreOf(::GetDlgItem(dialog_, field))) << field;
    }
    // The group's own area between its captions and fields has the group's colour.
    RECT caption{};
    ::GetWindowRect(::GetDlgItem(dialog_, 6175), &caption);  // the mass flow group's "Limits"
    ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&caption), 2);
    EXPECT_EQ(RGB(150, 255, 255), picture.At(caption.right - 2, caption.top + 1));
}

// The container's window smaller than the view's dialog: both bars, the position kept within content −
// window; larger again: no bars, the position and the contents back at 0.
TEST_F(MeasuredValuesTest, ScrollsWhileItsWindowIsSmallerThanItsDialog) {
    RECT natural{};
    ::GetWindowRect(dialog_, &natural);
    const HWND frame = ui_.Container().Window();
    auto resize = [&](int width, int height) {
        RECT outer{0, 0, width, height};
        ::AdjustWindowRectEx(&outer, static_cast<DWORD>(::GetWindowLongPtrW(frame, GWL_STYLE)), FALSE, 0);
        ::SetWindowPos(frame, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    auto bars = [&] { return ::GetWindowLongW(dialog_, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL); };
    auto position = [&](int bar) { return ::GetScrollPos(dialog_, bar); };
    EXPECT_EQ(0, bars());

    resize((natural.right - natural.left) / 2, (natural.bottom - natural.top) / 2);
    EXPECT_EQ(WS_HSCROLL | WS_VSCROLL, bars());
    ::SendMessageW(dialog_, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5000), 0);
    ::SendMessageW(dialog_, WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    RECT window{};
    ::GetWindowRect(dialog_, &window);
    EXPECT_EQ((natural.bottom - natural.top) - (window.bottom - window.top), position(SB_VERT));
    EXPECT_EQ(1, position(SB_HORZ));

    resize(natural.right - natural.left + 40, natural.bottom - natural.top + 40);
    EXPECT_EQ(0, bars());
    EXPECT_EQ(0, position(SB_VERT));
    RECT group{4, 4, 0, 0}, shown{};
    ::MapDialogRect(dialog_, &group);
    ::GetWindowRect(::GetDlgItem(dialog_, IDC_MV_MASSFLOW_GROUP), &shown);
    ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&shown), 2);
    EXPECT_EQ(group.top, shown.top);
}

}  // namespace
