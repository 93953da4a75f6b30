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

// Online enables the online functions in order; leaving online, and reaching the configured state even
// when never online, disables only the online parameterization.
TEST_F(StateMachineTest, TheFunctionsFollowTheOnlineState) {
    using Enables = std::vector<std::pair<ULONG, bool>>;
    const struct {
        std::vector<ULONG> road;
        Enables enables;
    } cases[] = {
        {{12}, {{2, true}, {3, true}, {5, true}, {8, true}, {4, true}}},
        {{9}, {}},
        {{12, 9}, {{2, false}, {3, false}}},
        {{9, 8}, {{2, false}, {3, false}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.road));
        ForceState(8);
        for (ULONG state : c.road) {
            functions_.enables.clear();
            ForceState(state);
        }
        EXPECT_EQ(c.enables, functions_.enables);
    }
}

TEST_F(StateMachineTest, TheStateEventMirrorsTheSteadyCommunicationStates) {
    const std::pair<ULONG, bool> road[] = {{9, true},  {10, false}, {12, true}, {11, false},
                                           {8, false}, {12, true},  {2, true}};
    for (auto [state, signalled] : road) {
        ForceState(state);
        EXPECT_EQ(signalled, dtm_->StateEvent().IsSet()) << state;
    }
}

}  // namespace
}  // namespace dtmtest
