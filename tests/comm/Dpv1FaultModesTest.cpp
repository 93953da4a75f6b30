// Every fault mode of the channel, one read at a time: what the read answers and reports, and that the DTM is
// usable afterwards with nothing left behind (no pending record, no value lost, the next read succeeds).
#include <gtest/gtest.h>

#include "CommTestSupport.h"
#include "comm/CommunicationStates.h"

namespace commtest {
namespace {

struct FaultCase {
    const char* name;
    ChannelFault fault;
    HRESULT result;
    VARIANT_BOOL sent;
    const wchar_t* message;    // to the open user interfaces; null: none
    HRESULT lateAnswerResult;  // what the DTM answers to an answer that comes after the read ended
    ULONG stateAfter;
    float valueAfter;  // the dataset's calibration factor: 1 before, 1.02 in the device
};

class Dpv1FaultModesTest : public CommTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(Dpv1FaultModesTest, LeavesTheDtmUsable) {
    const FaultCase& c = GetParam();
    GoOnline();
    ChannelFaultRule rule;
    rule.fault = c.fault;
    rule.requests = kSimTransaction;
    rule.delayMs = 1500;  // a late answer comes after the DTM's time-out (1000 ms here)
    rule.errorCode = {0x80, 0xC2, 0x00};
    channel_->AddFault(rule);
    const size_t answersBefore = channel_->Answers().size();

    VARIANT_BOOL sent = VARIANT_FALSE;
    EXPECT_HR(c.result, ReadSync(kCalibrationFactorId, &sent));
    EXPECT_EQ(c.sent, sent);
    if (c.message) {
        ASSERT_EQ(1u, control_->messages.size());
        EXPECT_EQ(c.message, control_->messages[0].text);
    } else {
        EXPECT_TRUE(control_->messages.empty());
    }

    // Whatever the channel still sends arrives now.
    ASSERT_TRUE(PumpUntil([this] { return channel_->QueuedAnswerCount() == 0; }));
    if (c.lateAnswerResult != S_OK) {
        ASSERT_GT(channel_->Answers().size(), answersBefore);
        EXPECT_HR(c.lateAnswerResult, channel_->Answers().back().result);
    }
    EXPECT_EQ(0u, dtmint::PendingTransactionCount(dtm_.Get()));
    EXPECT_EQ(c.stateAfter, State());
    EXPECT_EQ(c.valueAfter, V_R4(Value(kCalibrationFactorId).Get()));

    if (State() == kStateCommunicationSet) {
        VARIANT_BOOL connecting = VARIANT_FALSE;
        ASSERT_HR(S_OK, OnlineState()->GoOnline(&connecting));
        ASSERT_EQ(kStateConnected, State());
    }
    sent = VARIANT_FALSE;
    ASSERT_HR(S_OK, ReadSync(kCalibrationFactorId, &sent));
    EXPECT_EQ(VARIANT_TRUE, sent);
    EXPECT_TRUE(dtmint::Store(dtm_.Get()).LastResultOk());
    EXPECT_EQ(1.02f, V_R4(Value(kCalibrationFactorId).Get()));
    EXPECT_EQ(0u, dtmint::PendingTransactionCount(dtm_.Get()));
}

const FaultCase kFaultCases[] = {
    {"silence", ChannelFault::Silence, E_ABORT, VARIANT_TRUE, nullptr, S_OK, kStateConnected, 1.0f},
    {"late answer", ChannelFault::LateAnswer, E_ABORT, VARIANT_TRUE, nullptr, E_FAIL, kStateConnected, 1.0f},
    {"duplicate answer", ChannelFault::DuplicateAnswer, S_OK, VARIANT_TRUE, nullptr, E_FAIL, kStateConnected,
     1.02f},
    {"wrong invoke id", ChannelFault::WrongInvokeId, E_ABORT, VARIANT_TRUE, nullptr, E_FAIL, kStateConnected,
     1.0f},
    {"braced invoke id", ChannelFault::BracedInvokeId, E_ABORT, VARIANT_TRUE, nullptr, E_FAIL,
     kStateConnected, 1.0f},
    {"malformed response", ChannelFault::MalformedResponse, E_FAIL, VARIANT_TRUE, L"LoadXMLDocument failed!",
     S_OK, kStateConnected, 1.0f},
    {"schema-invalid response", ChannelFault::SchemaInvalidResponse, E_FAIL, VARIANT_TRUE,
     L"LoadXMLDocument failed!", S_OK, kStateConnected, 1.0f},
    {"communication error", ChannelFault::CommunicationError, S_OK, VARIANT_TRUE,
     L"ERROR: errorCode = 0101 descr = Station does not answer", S_OK, kStateConnected, 1.0f},
    {"DP-V1 error of the channel", ChannelFault::DeviceError, S_OK, VARIANT_TRUE,
     L"ErrorCode 80C200 recieved! Resource busy, ReadRequest Parameter 1.70", S_OK, kStateConnected, 1.0f},
    // The abort ends the waiting read at once; the channel's error answer after it finds nothing.
    {"abort", ChannelFault::Abort, E_ABORT, VARIANT_TRUE, nullptr, E_FAIL, kStateCommunicationSet, 1.0f},
    {"refused request", ChannelFault::Refuse, S_OK, VARIANT_FALSE, nullptr, S_OK, kStateConnected, 1.0f},
    {"failed request", ChannelFault::Fail, E_FAIL, VARIANT_FALSE, nullptr, S_OK, kStateConnected, 1.0f},
};

INSTANTIATE_TEST_SUITE_P(EveryFault, Dpv1FaultModesTest, ::testing::ValuesIn(kFaultCases),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c) {
                                 if (std::isalnum(static_cast<unsigned char>(*c))) name.push_back(*c);
                             }
                             return name;
                         });

// A channel that says "accepted" with 1 instead of VARIANT_TRUE: a refusal.
class OddAcceptanceChannel final : public ql::ComObjectBase<OddAcceptanceChannel>,
                                   public ql::NoDispatchImpl<IFdtCommunication> {
    QL_INTERFACE_TABLE(OddAcceptanceChannel, QL_ENTRY(IFdtCommunication))

public:
    HRESULT STDMETHODCALLTYPE CommunicationReserved7(BSTR) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSupportedProtocols(BSTR* protocols) noexcept override {
        return ql::NotImplementedOut(protocols);
    }
    HRESULT STDMETHODCALLTYPE SequenceBegin(BSTR, VARIANT_BOOL* r) noexcept override {
        return ql::NotImplementedOut(r);
    }
    HRESULT STDMETHODCALLTYPE SequenceStart(BSTR, VARIANT_BOOL* r) noexcept override {
        return ql::NotImplementedOut(r);
    }
    HRESULT STDMETHODCALLTYPE SequenceEnd(BSTR, VARIANT_BOOL* r) noexcept override {
        return ql::NotImplementedOut(r);
    }
    HRESULT STDMETHODCALLTYPE ConnectRequest(IFdtCommunicationEvents*, BSTR, BSTR, BSTR,
                                             VARIANT_BOOL* accepted) noexcept override {
        *accepted = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DisconnectRequest(BSTR, BSTR, VARIANT_BOOL* accepted) noexcept override {
        *accepted = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE TransactionRequest(BSTR, BSTR, VARIANT_BOOL* accepted) noexcept override {
        *accepted = 1;
        return S_OK;
    }
};

using Dpv1AcceptanceTest = CommTest;

TEST_F(Dpv1AcceptanceTest, OnlyVariantTrueIsAnAcceptance) {
    ql::ComPtr<OddAcceptanceChannel> odd;
    ASSERT_HR(S_OK, ql::MakeObject(odd));
    ASSERT_HR(S_OK, Client()->SetChannel(static_cast<IFdtCommunication*>(odd.Get())));
    ForceState(kStateCommunicationSet);
    VARIANT_BOOL sent = VARIANT_TRUE;
    EXPECT_HR(S_FALSE, Client()->Connect(&sent));
    EXPECT_EQ(VARIANT_FALSE, sent);
    EXPECT_HR(S_OK, Dpv1()->ConnectRequest(0, 126, &sent));
    EXPECT_EQ(VARIANT_FALSE, sent);
    EXPECT_EQ(0u, dtmint::PendingTransactionCount(dtm_.Get()));
    ASSERT_HR(S_OK, Client()->SetChannel(nullptr));
}

}  // namespace
}  // namespace commtest
