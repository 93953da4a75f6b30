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
    std::vector<std::wstring> OnlineNotifications() {
        std::vector<std::wstring> seen;
        for (const FrameCall& call : frame_->Calls()) {
            if (call.Method == L"NotifyOnlineStateChanged") seen.push_back(call.Arguments[1]);
        }
        return seen;
    }
};

TEST_F(StateMachineTest, TheFrameHearsOfOnlineAndOfflineOnceEach) {
    for (ULONG state : {9u, 10u, 12u, 12u, 11u, 9u, 8u}) ForceState(state);
    EXPECT_EQ((std::vector<std::wstring>{L"TRUE", L"FALSE"}), OnlineNotifications());
    const FrameCall* online = frame_->LastCall(L"NotifyOnlineStateChanged");
    ASSERT_NE(nullptr, online);
    EXPECT_EQ(systemTag_.View(), online->Arguments[0]);
}

TEST_F(StateMachineTest, EveryChangeIsBroadcast) {
    for (ULONG state : {9u, 10u, 12u, 12u}) ForceState(state);
    EXPECT_EQ((std::vector<ULONG>{9, 10, 12, 12}), functions_.states);
}

TEST_F(StateMachineTest, OnlineEnablesTheOnlineFunctionsInOrder) {
    ForceState(12);
    const std::vector<std::pair<ULONG, bool>> expected = {
        {2, true}, {3, true}, {5, true}, {8, true}, {4, true}};
    EXPECT_EQ(expected, functions_.enables);
}

TEST_F(StateMachineTest, LeavingOnlineDisablesOnlyTheOnlineParameterization) {
    ForceState(12);
    functions_.enables.clear();
    ForceState(9);
    const std::vector<std::pair<ULONG, bool>> expected = {{2, false}, {3, false}};
    EXPECT_EQ(expected, functions_.enables);
}

TEST_F(StateMachineTest, ConfiguredDisablesTheOnlineParameterizationEvenWhenNeverOnline) {
    ForceState(9);
    EXPECT_TRUE(functions_.enables.empty());
    ForceState(8);
    const std::vector<std::pair<ULONG, bool>> expected = {{2, false}, {3, false}};
    EXPECT_EQ(expected, functions_.enables);
}

TEST_F(StateMachineTest, TheStateEventMirrorsTheSteadyCommunicationStates) {
    struct Step {
        ULONG state;
        bool signalled;
    };
    const Step road[] = {{9, true}, {10, false}, {12, true}, {11, false}, {8, false}, {12, true}, {2, true}};
    for (const Step& step : road) {
        SCOPED_TRACE(step.state);
        ForceState(step.state);
        EXPECT_EQ(step.signalled, dtm_->StateEvent().IsSet());
    }
}

}  // namespace
}  // namespace dtmtest
