// The diagnosis view as a frame opens it (function 4), online with the simulated flowmeter: the device's
// diagnosis arrives through the view's one-second reads and shows as ticked, enabled boxes; the reads go on
// while the view is hidden.
#include <windows.h>

#include <set>

#include "classlib/AxControlSite.h"
#include "frame/MessagePump.h"
#include "frame/simulator/SimulatedFlowmeter.h"
#include "tests/controls/base/ControlTestSupport.h"
#include "tests/ui/views/ViewTestSupport.h"
#include "ui/views/ViewResources.h"

namespace {

using viewtest::TickedBoxes;

constexpr DWORD kReadWaitMs = 5000;
constexpr int kFirstBox = IDC_DIAG_STATION1_BIT0;
constexpr int kLastBox = IDC_DIAG_DEVICE_BIT0 + 7;

class DiagnosisViewTest : public controltest::HostedUiFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DtmFixture::SetUp());
        ASSERT_NO_FATAL_FAILURE(GoOnlineForUi());
        channel_->Device().SetFrozen(true);
        ASSERT_HR(S_OK, ui_.OpenFunction(session_.Object(), 4));
        dialog_ = ui_.Container().Site()->ControlWindow();
        ASSERT_TRUE(dialog_);
    }
    SimBytes& DeviceRecord(BYTE index) { return channel_->Device().FindRecord(0, index)->bytes; }
    bool ShowsTicked(const std::set<int>& boxes) {
        return PumpMessagesUntil([&] { return TickedBoxes(dialog_, kFirstBox, kLastBox) == boxes; },
                                 kReadWaitMs);
    }
};

TEST_F(DiagnosisViewTest, ShowsTheDevicesDiagnosisBitsAsTheyAreRead) {
    // Byte 2 of the diagnosis is not shown; bytes beyond the extension's two are ignored.
    DeviceRecord(29) = {0x01, 0x00, 0xFF, 0x80};
    DeviceRecord(30) = {0x0F, 0x80, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_TRUE(ShowsTicked({6019, 6042, 6043, 6044, 6045, 6046, 6058}));
}

TEST_F(DiagnosisViewTest, KeepsReadingWhileHidden) {
    ::ShowWindow(dialog_, SW_HIDE);
    const int before = channel_->Device().ReadCount();
    // Two parameters a second: at least two more reads in a bit more than a second.
    EXPECT_TRUE(PumpMessagesUntil([&] { return channel_->Device().ReadCount() >= before + 2; }, kReadWaitMs));
}

}  // namespace
