// The DTM object with its real DP-V1 client, online requests and dataset transfer, driven along the frame's
// road against the simulated channel and flowmeter.
#include <algorithm>

#include "OnlineDtmTest.h"
#include "classlib/Variant.h"

namespace dtmtest {
namespace {

constexpr ULONG kNotifyConnected = 0x3400;

using CommunicationIntegrationTest = OnlineDtmTest;

TEST_F(CommunicationIntegrationTest, TheChannelsConnectAnswerTakesTheDtmOnline) {
    ASSERT_NO_FATAL_FAILURE(HandOverChannel());
    EXPECT_EQ(10u, State()) << "the answer comes later, on a timer";
    ASSERT_TRUE(PumpUntil([this] { return State() != 10u; }));
    EXPECT_EQ(12u, State());
    ASSERT_NE(nullptr, dtmint::CommunicationReference(dtm_.Get()));
    EXPECT_EQ(36u, ::SysStringLen(dtmint::CommunicationReference(dtm_.Get())));
    EXPECT_EQ(1u, CountNotifications(kNotifyConnected));
    EXPECT_EQ(1u, frame_->CountCalls(L"NotifyOnlineStateChanged"));
    EXPECT_EQ((std::vector<ULONG>{9, 10, 12}),
              std::vector<ULONG>(functions_.states.end() - 3, functions_.states.end()));
    // The online functions follow the state.
    EXPECT_NE(functions_.enables.end(), std::find(functions_.enables.begin(), functions_.enables.end(),
                                                  std::make_pair(ULONG{kFunctionOnlineParameterize}, true)));
}

// A connect or disconnect the channel never answers must not keep the DTM in 10 or 11: releasing the
// communication drops the pending request, goes back through 9 to 8, and the DTM connects again afterwards.
TEST_F(CommunicationIntegrationTest, ReleasingAnUnansweredConnectionReturnsThroughNine) {
    struct Case {
        const char* name;
        unsigned silentRequest;
        ULONG stuckState;
    };
    for (const Case& c : {Case{"connect", kSimConnect, 10}, Case{"disconnect", kSimDisconnect, 11}}) {
        SCOPED_TRACE(c.name);
        channel_->ClearFaults();
        channel_->AddFault({ChannelFault::Silence, c.silentRequest});
        VARIANT_BOOL result = VARIANT_FALSE;
        if (c.stuckState == 10) {
            ASSERT_NO_FATAL_FAILURE(HandOverChannel());
        } else {
            ASSERT_NO_FATAL_FAILURE(GoOnline());
            EXPECT_HR(S_FALSE, Dtm()->PrepareToReleaseCommunication(&result))
                << "the disconnect wait timed out";
        }
        ASSERT_EQ(c.stuckState, State());
        ASSERT_EQ(1u, dtmint::PendingTransactionCount(dtm_.Get()));

        functions_.states.clear();
        EXPECT_HR(S_OK, Dtm()->ReleaseCommunication(&result));
        EXPECT_EQ(VARIANT_TRUE, result);
        ASSERT_FALSE(functions_.states.empty());
        EXPECT_EQ(9u, functions_.states.front());
        EXPECT_EQ(8u, State());
        EXPECT_EQ(0u, dtmint::PendingTransactionCount(dtm_.Get()));
        EXPECT_EQ(nullptr, dtm_->Lifecycle().Channel());
        EXPECT_EQ(nullptr, dtmint::CommunicationReference(dtm_.Get()));

        // Usable again: a new channel connects as the first did.
        channel_->DropCallback();
        channel_->ClearFaults();
        ASSERT_NO_FATAL_FAILURE(GoOnline());
        ASSERT_HR(S_OK, Dtm()->PrepareToReleaseCommunication(&result));
        ASSERT_EQ(VARIANT_TRUE, result);
        ASSERT_HR(S_OK, Dtm()->ReleaseCommunication(&result));
        ASSERT_EQ(8u, State());
    }
}

}  // namespace
}  // namespace dtmtest
