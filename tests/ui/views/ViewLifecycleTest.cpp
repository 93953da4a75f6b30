// What every view does as a DTM function: the frame opens it online, its own function is off in the frame
// while it is open, its close button has the DTM ask the frame to close it, and afterwards the function is
// offered again and, with the DTM released, nothing of the module (or of the trend chart) is left alive.
#include <windows.h>

#include "classlib/AxControlSite.h"
#include "frame/MessagePump.h"
#include "tests/controls/base/ControlTestSupport.h"
#include "tests/support/ServerModule.h"
#include "tests/ui/views/ViewTestSupport.h"

namespace {

constexpr DWORD kCloseWaitMs = 10000;

struct ViewCase {
    const char* name;
    long functionId;
    int closeButton;
};

class ViewLifecycleTest : public controltest::HostedUiFixture,
                          public ::testing::WithParamInterface<ViewCase> {};

TEST_P(ViewLifecycleTest, IsItsOwnFunctionOffWhileOpenAndClosesThroughTheFrame) {
    const ViewCase& view = GetParam();
    ASSERT_NO_FATAL_FAILURE(GoOnlineForUi());
    ASSERT_TRUE(viewtest::IsFunctionEnabled(session_.Object(), view.functionId));

    ASSERT_HR(S_OK, ui_.OpenFunction(session_.Object(), view.functionId));
    dialog_ = ui_.Container().Site()->ControlWindow();
    ASSERT_TRUE(dialog_);
    EXPECT_FALSE(viewtest::IsFunctionEnabled(session_.Object(), view.functionId));

    const HWND button = ::GetDlgItem(dialog_, view.closeButton);
    ASSERT_TRUE(button && ::IsWindowVisible(button) && ::IsWindowEnabled(button));
    ::SendMessageW(button, BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpMessagesUntil([this] { return !ui_.IsOpen(); }, kCloseWaitMs));
    EXPECT_HR(S_OK, ui_.LastReleaseResult());
    EXPECT_TRUE(viewtest::IsFunctionEnabled(session_.Object(), view.functionId));

    ReleaseAll();
    EXPECT_HR(S_OK, vtest::ServerCanUnloadNow(L"VarnokP3.dll"));
    EXPECT_HR(S_OK, vtest::ServerCanUnloadNow(L"trend_chart.dll"));
}

// F1 shows the help file that the translation document gives the view's class, under its registered name.
TEST_P(ViewLifecycleTest, F1ShowsTheHelpFileOfItsClass) {
    ASSERT_NO_FATAL_FAILURE(GoOnlineForUi());
    ASSERT_HR(S_OK, ui_.OpenFunction(session_.Object(), GetParam().functionId));
    dialog_ = ui_.Container().Site()->ControlWindow();
    ASSERT_TRUE(dialog_);
    frame_->ClearCalls();
    HELPINFO help{sizeof help, HELPINFO_WINDOW, 0};
    ::SendMessageW(dialog_, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    ASSERT_EQ(1u, frame_->CountCalls(L"UserDialog"));
    const std::wstring message = frame_->LastCall(L"UserDialog")->Arguments[1];
    EXPECT_NE(std::wstring::npos, message.find(L"title=\"Varnok Profibus DP Help\""));
    EXPECT_NE(std::wstring::npos, message.find(L"fdt:string=\"VarnokP3.chm\""));
}

INSTANTIATE_TEST_SUITE_P(Views, ViewLifecycleTest,
                         ::testing::Values(ViewCase{"Diagnosis", 4, IDOK},
                                           ViewCase{"MeasuredValues", 5, IDCANCEL},
                                           ViewCase{"Trend", 8, IDCANCEL}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
