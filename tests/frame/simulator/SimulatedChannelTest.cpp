// The simulated channel from the DTM's side of the wire: what it accepts, when and how it answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/Bstr.h"
#include "classlib/ComObject.h"
#include "classlib/DispatchImpl.h"
#include "frame/MessagePump.h"
#include "frame/simulator/SimulatedDpv1Channel.h"
#include "tests/support/ComTest.h"
#include "tests/support/TestPaths.h"

namespace {

std::wstring Text(BSTR text) { return text ? std::wstring(text, ::SysStringLen(text)) : std::wstring(); }

// The DTM's side: records every answer.
class RecordingSink final : public ql::ComObjectBase<RecordingSink>,
                            public ql::NoDispatchImpl<IFdtCommunicationEvents> {
    QL_INTERFACE_TABLE(RecordingSink, QL_ENTRY(IFdtCommunicationEvents))

public:
    HRESULT STDMETHODCALLTYPE OnAbort(BSTR reference) noexcept override {
        answers.push_back(L"abort " + Text(reference));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnConnectResponse(BSTR invokeId, BSTR response) noexcept override {
        return Record(L"connect ", invokeId, response);
    }
    HRESULT STDMETHODCALLTYPE OnDisconnectResponse(BSTR invokeId, BSTR response) noexcept override {
        return Record(L"disconnect ", invokeId, response);
    }
    HRESULT STDMETHODCALLTYPE OnTransactionResponse(BSTR invokeId, BSTR response) noexcept override {
        return Record(L"transaction ", invokeId, response);
    }

    std::vector<std::wstring> answers;
    std::vector<std::wstring> responses;

private:
    HRESULT Record(const wchar_t* kind, BSTR invokeId, BSTR response) {
        answers.push_back(kind + Text(invokeId));
        responses.push_back(Text(response));
        return S_OK;
    }
};

const wchar_t kProtocol[] = L"036D1499-387B-11D4-86E1-00E0987270B9";
const wchar_t kInvokeId[] = L"11111111-2222-3333-4444-555555555555";

class SimulatedChannelTest : public vtest::ComTest {
protected:
    void SetUp() override {
        vtest::ComTest::SetUp();
        ASSERT_HR(S_OK, ql::MakeObject(channel_));
        ASSERT_HR(S_OK, channel_->SetSchemaFolder(vtest::SchemasFolder()));
        ASSERT_HR(S_OK, ql::MakeObject(sink_));
    }
    void TearDown() override {
        channel_->DropCallback();
        channel_.Reset();
        sink_.Reset();
    }
    VARIANT_BOOL Connect(const wchar_t* protocol, BYTE address) {
        const std::wstring request =
            L"<?xml version=\"1.0\"?>\n<FDT xmlns=\"x-schema:FDTProfibusDPV1CommunicationSchema.xml\" "
            L"xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\"><ConnectRequest api=\"0\" busAddress=\"" +
            std::to_wstring(address) + L"\"/></FDT>";
        VARIANT_BOOL accepted = VARIANT_FALSE;
        EXPECT_HR(S_OK,
                  channel_->ConnectRequest(sink_.Get(), ql::Bstr(kInvokeId).Get(), ql::Bstr(protocol).Get(),
                                           ql::Bstr(request.c_str()).Get(), &accepted));
        return accepted;
    }

    ql::ComPtr<CSimulatedDpv1Channel> channel_;
    ql::ComPtr<RecordingSink> sink_;
};

TEST_F(SimulatedChannelTest, AnswersLaterOnTheCallersThread) {
    ASSERT_EQ(VARIANT_TRUE, Connect(kProtocol, 126));
    EXPECT_TRUE(sink_->answers.empty()) << "answered during the request";
    ASSERT_TRUE(PumpMessagesUntil([this] { return !sink_->answers.empty(); }, 5000));
    EXPECT_EQ(std::wstring(L"connect ") + kInvokeId, sink_->answers[0]);
    EXPECT_NE(std::wstring::npos, sink_->responses[0].find(L"errorCode=\"000000\""));
    EXPECT_NE(std::wstring::npos, sink_->responses[0].find(channel_->Reference()));
    EXPECT_TRUE(channel_->IsConnected());
}

TEST_F(SimulatedChannelTest, RefusesWhatNoChannelWouldTake) {
    channel_->SetAnswerTiming(AnswerTiming::DuringRequest);
    EXPECT_EQ(VARIANT_FALSE, Connect(L"00000000-0000-0000-0000-000000000000", 126));
    VARIANT_BOOL accepted = VARIANT_TRUE;
    EXPECT_HR(S_OK, channel_->TransactionRequest(ql::Bstr(kInvokeId).Get(),
                                                 ql::Bstr(L"<FDT><ReadRequest/></FDT>").Get(), &accepted));
    EXPECT_EQ(VARIANT_FALSE, accepted);
    ASSERT_EQ(2u, channel_->Requests().size());
    EXPECT_FALSE(channel_->Requests()[1].valid);
    EXPECT_TRUE(sink_->answers.empty());
}

TEST_F(SimulatedChannelTest, AStationThatIsNotThereGivesACommunicationError) {
    channel_->SetAnswerTiming(AnswerTiming::DuringRequest);
    ASSERT_EQ(VARIANT_TRUE, Connect(kProtocol, 5));
    ASSERT_EQ(1u, sink_->responses.size());
    EXPECT_NE(std::wstring::npos, sink_->responses[0].find(L"fdt:CommunicationError"));
    EXPECT_FALSE(channel_->IsConnected());
}

TEST_F(SimulatedChannelTest, FaultsApplyToTheRequestsTheyName) {
    channel_->SetAnswerTiming(AnswerTiming::DuringRequest);
    ChannelFaultRule braced;
    braced.fault = ChannelFault::BracedInvokeId;
    braced.requests = kSimConnect;
    braced.skip = 1;
    channel_->AddFault(braced);
    ASSERT_EQ(VARIANT_TRUE, Connect(kProtocol, 126));
    ASSERT_EQ(VARIANT_TRUE, Connect(kProtocol, 126));
    ASSERT_EQ(VARIANT_TRUE, Connect(kProtocol, 126));
    ASSERT_EQ(3u, sink_->answers.size());
    EXPECT_EQ(std::wstring(L"connect ") + kInvokeId, sink_->answers[0]);
    EXPECT_EQ(std::wstring(L"connect {") + kInvokeId + L"}", sink_->answers[1]);
    EXPECT_EQ(std::wstring(L"connect ") + kInvokeId, sink_->answers[2]);
}

}  // namespace
