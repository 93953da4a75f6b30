// The measured-values view as a frame opens it (function 5), online with the simulated flowmeter: the
// device's values arrive through the one-second reads, the values with their PA status texts and units show
// in their groups, and the view scrolls when its window is smaller than its dialog.
#include <windows.h>

#include <string>

#include "classlib/AxControlSite.h"
#include "frame/MessagePump.h"
#include "frame/simulator/SimulatedFlowmeter.h"
#include "tests/controls/base/ControlTestSupport.h"
#include "tests/ui/views/ViewTestSupport.h"
#include "ui/views/ViewResources.h"

namespace {

using viewtest::DialogItemText;
using viewtest::IdRecordPayload;

constexpr DWORD kReadWaitMs = 5000;  // a few of the view's one-second reads

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

struct StatusCase {
    const char* name;
    ULONG id;
    std::vector<BYTE> record;
    int valueField, qualityField, substatusField, limitsField;
    const char* value;
    const char* quality;
    const char* substatus;
    const char* limits;
};

const StatusCase kStatusCases[] = {
    {"mass flow, good",
     46,
     {0x42, 0xC8, 0x00, 0x00, 0x80},
     IDC_MV_MASSFLOW_VALUE,
     IDC_MV_MASSFLOW_QUALITY,
     IDC_MV_MASSFLOW_SUBSTATUS,
     IDC_MV_MASSFLOW_LIMITS,
     "100.00000",
     "Good (Non-Cascade)",
     "Ok",
     "Ok"},
    {"mass flow, good but low limited",
     46,
     {0x42, 0xC8, 0x00, 0x00, 0x81},
     IDC_MV_MASSFLOW_VALUE,
     IDC_MV_MASSFLOW_QUALITY,
     IDC_MV_MASSFLOW_SUBSTATUS,
     IDC_MV_MASSFLOW_LIMITS,
     "100.00000",
     "Good (Non-Cascade)",
     "Invalid Status!",
     "Low Limited"},
    {"flow output, uncertain last usable value",
     69,
     {0xC2, 0x28, 0x00, 0x00, 0x46, 0xFF},
     IDC_MV_FLOW_VALUE,
     IDC_MV_FLOW_QUALITY,
     IDC_MV_FLOW_SUBSTATUS,
     IDC_MV_FLOW_LIMITS,
     "-42.00000",
     "Uncertain",
     "Last Usable Value",
     "High Limited"},
    {"totalizer, a record too short for its status",
     93,
     {0x42, 0xC8, 0x00, 0x00},
     IDC_MV_TOTAL_VALUE,
     IDC_MV_TOTAL_QUALITY,
     IDC_MV_TOTAL_SUBSTATUS,
     IDC_MV_TOTAL_LIMITS,
     "0.00000",
     "Bad",
     "Non-specific",
     "Ok"},
};

TEST_F(MeasuredValuesTest, ShowsEachValueWithTheTextsOfItsStatus) {
    for (const StatusCase& c : kStatusCases) {
        SCOPED_TRACE(c.name);
        Notify(viewtest::kDeviceValueNotify, IdRecordPayload(c.id, c.record));
        EXPECT_EQ(c.value, Text(c.valueField));
        EXPECT_EQ(c.quality, Text(c.qualityField));
        EXPECT_EQ(c.substatus, Text(c.substatusField));
        EXPECT_EQ(c.limits, Text(c.limitsField));
        // The device's confirmation of a write is no new value.
        Notify(viewtest::kDeviceWrittenNotify, IdRecordPayload(c.id, {0x41, 0x20, 0x00, 0x00, 0x00}));
        EXPECT_EQ(c.value, Text(c.valueField));
    }
}

TEST_F(MeasuredValuesTest, ReadsTheDevicesValuesEverySecond) {
    CSimulatedFlowmeter& device = channel_->Device();
    device.SetFrozen(true);
    device.FindRecord(1, 83)->bytes = {0x42, 0x2A, 0x00, 0x00, 0x81};  // 42.5, low limited
    device.FindRecord(2, 26)->bytes = {0x44, 0x9A, 0x50, 0x00, 0x80};  // 1234.5
    ASSERT_TRUE(PumpMessagesUntil([&] { return Text(IDC_MV_TOTAL_VALUE) == "1234.50000"; }, kReadWaitMs));
    EXPECT_EQ("42.50000", Text(IDC_MV_MASSFLOW_VALUE));
    EXPECT_EQ("Low Limited", Text(IDC_MV_MASSFLOW_LIMITS));
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

// The container's window smaller than the view's dialog: both bars, their positions kept within
// content − window; larger again: no bars and the positions back at 0.
TEST_F(MeasuredValuesTest, ScrollsWhileItsWindowIsSmallerThanItsDialog) {
    RECT natural{};
    ::GetWindowRect(dialog_, &natural);
    const SIZE content{natural.right - natural.left, natural.bottom - natural.top};
    const HWND frame = ui_.Container().Window();
    auto resizeClient = [&](int width, int height) {
        RECT outer{0, 0, width, height};
        ::AdjustWindowRectEx(&outer, static_cast<DWORD>(::GetWindowLongPtrW(frame, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongPtrW(frame, GWL_EXSTYLE)));
        ::SetWindowPos(frame, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    auto position = [&](int bar) {
        SCROLLINFO info{sizeof(info), SIF_ALL};
        ::GetScrollInfo(dialog_, bar, &info);
        return info.nPos;
    };
    const LONG style = ::GetWindowLongW(dialog_, GWL_STYLE);
    EXPECT_EQ(0, style & (WS_HSCROLL | WS_VSCROLL));

    resizeClient(content.cx / 2, content.cy / 2);
    EXPECT_EQ(WS_HSCROLL | WS_VSCROLL, ::GetWindowLongW(dialog_, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
    ::SendMessageW(dialog_, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5000), 0);
    ::SendMessageW(dialog_, WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    RECT window{};
    ::GetWindowRect(dialog_, &window);
    EXPECT_EQ(content.cy - (window.bottom - window.top), position(SB_VERT));
    EXPECT_EQ(1, position(SB_HORZ));
    ::SendMessageW(dialog_, WM_HSCROLL, MAKEWPARAM(SB_PAGEUP, 0), 0);
    EXPECT_EQ(0, position(SB_HORZ));

    resizeClient(content.cx + 40, content.cy + 40);
    EXPECT_EQ(0, ::GetWindowLongW(dialog_, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
    EXPECT_EQ(0, position(SB_VERT));
    // The contents went back with the position: the first group is where the dialog put it.
    RECT group{};
    ::GetWindowRect(::GetDlgItem(dialog_, IDC_MV_MASSFLOW_GROUP), &group);
    ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&group), 2);
    RECT expected{4, 4, 0, 0};
    ::MapDialogRect(dialog_, &expected);
    EXPECT_EQ(expected.left, group.left);
    EXPECT_EQ(expected.top, group.top);
}

}  // namespace
