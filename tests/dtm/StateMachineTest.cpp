// SetState: the frame's online notification, the broadcast of every change, the functions that follow
// the online state, and the state event.
#include "DtmTestSupport.h"

namespace dtmtest {
namespace {

class StateMachineTest : public DtmTest {
protected:
    void SetUp() override {
        DtmTest::SetUp();
        DriveNewToConfigured();
        frame_->ClearCalls();
        functions_.states.clear();
        functions_.enables.clear();
    }
};

TEST_F(StateMachineTest, EveryChangeIsBroadcastAndTheFrameHearsOfOnlineAndOfflineOnceEach) {
    for (ULONG state : {9u, 10u, 12u, 12u, 11u, 9u, 8u}) ForceState(state);
    EXPECT_EQ((std::vector<ULONG>{9, 10, 12, 12, 11, 9, 8}), functions_.states);
    std::vector<std::wstring> online;
    for (const FrameCall& call : frame_->Calls()) {
        if (call.Method != L"NotifyOnlineStateChanged") continue;
        EXPECT_EQ(systemTag_.View(), call.Arguments[0]);
        online.push_back(call.Arguments[1]);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"TRUE", L"FALSE"}), online);
}

}  // namespace
}  // namespace dtmtest
