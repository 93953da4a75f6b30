// Going online and offline against the simulated channel: the connect request on the wire, the states
// 9 to 12, the connection notifications, the abort, and what releasing the communication does in states 10
// and 11.
#include <gtest/gtest.h>

#include "CommTestSupport.h"
#include "comm/CommunicationStates.h"
#include "values/HexText.h"
#include "values/XmlText.h"

namespace commtest {
namespace {

using Dpv1ConnectionTest = CommTest;

TEST_F(Dpv1ConnectionTest, ConnectGoesOutAsTheLayoutAndEndsOnline) {
    GoOnline();
    ASSERT_EQ(1u, channel_->Requests().size());
    EXPECT_EQ(SourceFile("tests/data/xml/valid/dpv1-connect-request.xml"), channel_->Requests()[0].document);
    EXPECT_TRUE(channel_->Requests()[0].valid);

    EXPECT_EQ((std::vector<ULONG>{kStateCommunicationSet, kStateConnecting, kStateConnected}),
              control_->states);
    ASSERT_NE(nullptr, dtmint::CommunicationReference(dtm_.Get()));
    EXPECT_EQ(36u, ::SysStringLen(dtmint::CommunicationReference(dtm_.Get())));
    EXPECT_EQ(channel_->Reference(), StringOf(dtmint::CommunicationReference(dtm_.Get())));
    ASSERT_EQ(1u, control_->CountNotifications(kNotifyConnectionSucceeded));
    EXPECT_EQ(0u, control_->CountNotifications(kNotifyConnectionFailed));
    EXPECT_EQ(VT_EMPTY, control_->notifications.back().data.Type());
    EXPECT_EQ(0u, dtmint::PendingTransactionCount(dtm_.Get()));
}

TEST_F(Dpv1ConnectionTest, AccessDeniedOnConnectEndsInStateNineWithTheMessage) {
    ChannelFaultRule refused;
    refused.fault = ChannelFault::DeviceError;
    refused.requests = kSimConnect;
    refused.errorCode = {0x80, 0xB6, 0x00};
    channel_->AddFault(refused);
    SetCommunication();

    VARIANT_BOOL sent = VARIANT_FALSE;
    ASSERT_HR(S_OK, OnlineState()->GoOnline(&sent));
    EXPECT_EQ(VARIANT_TRUE, sent);
    EXPECT_EQ(kStateCommunicationSet, State());
    EXPECT_EQ(nullptr, dtmint::CommunicationReference(dtm_.Get()));
    ASSERT_EQ(1u, control_->CountNotifications(kNotifyConnectionFailed));
    const ql::Variant& message = control_->notifications.back().data;
    ASSERT_EQ(VT_BSTR, message.Type());
    EXPECT_EQ(L"ErrorCode 80B600 recieved! Access denied (ConnectRequest)", StringOf(V_BSTR(message.Get())));
}

TEST_F(Dpv1ConnectionTest, ConnectAnswersDecideTheStateWhateverCameBefore) {
    struct Case {
        const char* name;
        ChannelFault fault;
        ULONG state;
        ULONG notification;
        const wchar_t* message;  // of 0x3401
    };
    const Case cases[] = {
        {"communication error", ChannelFault::CommunicationError, kStateCommunicationSet,
         kNotifyConnectionFailed, L"ERROR: errorCode = 0101 descr = Station does not answer"},
        {"malformed", ChannelFault::MalformedResponse, kStateCommunicationSet, kNotifyConnectionFailed,
         L"Error loading ConnectResponse Xml Document"},
        {"schema-invalid", ChannelFault::SchemaInvalidResponse, kStateCommunicationSet,
         kNotifyConnectionFailed, L"Error loading ConnectResponse Xml Document"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        ChannelFaultRule rule;
        rule.fault = c.fault;
        rule.requests = kSimConnect;
        channel_->AddFault(rule);
        SetCommunication();
        VARIANT_BOOL sent = VARIANT_FALSE;
        ASSERT_HR(S_OK, OnlineState()->GoOnline(&sent));
        EXPECT_EQ(c.state, State());
        ASSERT_EQ(1u, control_->CountNotifications(c.notification));
        EXPECT_EQ(c.message, StringOf(V_BSTR(control_->notifications.back().data.Get())));
        // The DTM can go online at once afterwards.
        ASSERT_HR(S_OK, OnlineState()->GoOnline(&sent));
        EXPECT_EQ(kStateConnected, State());
    }
}

TEST_F(Dpv1ConnectionTest, ARefusedConnectReturnsToStateNine) {
    struct Case {
        const char* name;
        ChannelFault fault;
        HRESULT result;
    };
    const Case cases[] = {{"declined", ChannelFault::Refuse, S_FALSE},
                          {"failed", ChannelFault::Fail, E_FAIL}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        ChannelFaultRule rule;
        rule.fault = c.fault;
        channel_->AddFault(rule);
        SetCommunication();
        VARIANT_BOOL sent = VARIANT_FALSE;
        EXPECT_HR(c.result, OnlineState()->GoOnline(&sent));
        EXPECT_EQ(VARIANT_FALSE, sent);
        EXPECT_EQ((std::vector<ULONG>{kStateCommunicationSet, kStateConnecting, kStateCommunicationSet}),
                  control_->states);
        EXPECT_EQ(0u, dtmint::PendingTransactionCount(dtm_.Get()));
    }
}

TEST_F(Dpv1ConnectionTest, GoOfflineEndsByTheDisconnectAnswer) {
    struct Case {
        const char* name;
        bool fault;
        ChannelFault kind;
        VARIANT_BOOL offline;
        ULONG state;
        ULONG notification;
    };
    const Case cases[] = {
        {"answered", false, ChannelFault::Silence, VARIANT_TRUE, kStateCommunicationSet,
         kNotifyConnectionSucceeded},
        {"DP-V1 error", true, ChannelFault::DeviceError, VARIANT_FALSE, kStateConnected,
         kNotifyConnectionFailed},
        {"silent", true, ChannelFault::Silence, VARIANT_FALSE, kStateDisconnecting, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        GoOnline();
        if (c.fault) {
            ChannelFaultRule rule;
            rule.fault = c.kind;
            rule.requests = kSimDisconnect;
            rule.errorCode = {0x80, 0xB5, 0x00};
            channel_->AddFault(rule);
        }
        control_->notifications.clear();
        VARIANT_BOOL offline = VARIANT_FALSE;
        ASSERT_HR(S_OK, OnlineState()->GoOffline(&offline));
        EXPECT_EQ(c.offline, offline);
        EXPECT_EQ(c.state, State());
        if (c.notification) {
            ASSERT_EQ(1u, control_->notifications.size());
            EXPECT_EQ(c.notification, control_->notifications[0].code);
        } else {
            EXPECT_TRUE(control_->notifications.empty());
        }
    }
}

TEST_F(Dpv1ConnectionTest, ReleasingInStatesTenAndElevenReturnsToNine) {
    struct Case {
        const char* name;
        unsigned requests;
        ULONG stuckState;
    };
    const Case cases[] = {{"connect unanswered", kSimConnect, kStateConnecting},
                          {"disconnect unanswered", kSimDisconnect, kStateDisconnecting}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        ChannelFaultRule silence;
        silence.fault = ChannelFault::Silence;
        silence.requests = c.requests;
        channel_->AddFault(silence);
        VARIANT_BOOL result = VARIANT_FALSE;
        if (c.requests == kSimConnect) {
            SetCommunication();
            ASSERT_HR(S_OK, OnlineState()->GoOnline(&result));
        } else {
            GoOnline();
            ASSERT_HR(S_OK, OnlineState()->GoOffline(&result));
        }
        ASSERT_EQ(c.stuckState, State());
        ASSERT_EQ(1u, dtmint::PendingTransactionCount(dtm_.Get()));

        ASSERT_HR(S_OK, dtmint::AbandonConnection(dtm_.Get()));
        EXPECT_EQ(kStateCommunicationSet, State());
        EXPECT_EQ(0u, dtmint::PendingTransactionCount(dtm_.Get()));
        EXPECT_EQ(nullptr, dtmint::CommunicationReference(dtm_.Get()));
        // Out of the stuck state the DTM connects again.
        ASSERT_HR(S_OK, OnlineState()->GoOnline(&result));
        EXPECT_EQ(kStateConnected, State());
        EXPECT_HR(S_FALSE, dtmint::AbandonConnection(dtm_.Get()));
    }
}

}  // namespace
}  // namespace commtest
