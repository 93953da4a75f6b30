// The FDT lifecycle of IDtm along the frame's road and its refusals.
#include <msxml2.h>

#include "DtmTestSupport.h"
#include "frame/FrameDocuments.h"

namespace dtmtest {
namespace {

using LifecycleTest = DtmTest;

TEST_F(LifecycleTest, NewInstanceRunsOneFourSixSevenEight) {
    EXPECT_EQ(1u, State());
    DriveNewToConfigured();
    EXPECT_EQ((std::vector<ULONG>{4, 6, 6, 7, 7, 8, 8}), functions_.states)
        << "every change is broadcast; Environment, InitNew and Config broadcast once more";
}

TEST_F(LifecycleTest, LoadedInstanceRunsOneFiveSevenEight) {
    LoadImage(EmptyImage());
    Environment();
    EXPECT_EQ(7u, State());
    Configure();
}

TEST_F(LifecycleTest, EnvironmentAddsTheTenSchemasFromTheFramesFolder) {
    InitNewDataset();
    Environment();
    IXMLDOMSchemaCollection* schemas = dtm_->Lifecycle().XmlHandler().SchemaCollection();
    ASSERT_NE(nullptr, schemas);
    LONG count = 0;
    ASSERT_HR(S_OK, schemas->get_length(&count));
    EXPECT_EQ(10, count);
    EXPECT_EQ(0u, frame_->CountCalls(L"NotifyErrorMessage")) << "no schema file was missing";
    EXPECT_EQ(1u, frame_->CountCalls(L"GetSchemaFolder"));
}

TEST_F(LifecycleTest, EnvironmentFailsWhenTheFrameAnswersNoEvents) {
    InitNewDataset();
    frame_->Script().AnswersFrameEvents = false;
    VARIANT_BOOL result = VARIANT_TRUE;
    EXPECT_HR(E_FAIL, Dtm()->Environment(systemTag_.Get(), frame_.Get(), &result));
    EXPECT_EQ(VARIANT_FALSE, result);
    EXPECT_EQ(4u, State());
    EXPECT_EQ(nullptr, dtm_->Lifecycle().Frame()) << "no frame pointer is kept";
    ql::Bstr tag;
    ASSERT_HR(S_OK, dtm_->Lifecycle().GetSystemTag(tag.Put()));
    EXPECT_EQ(systemTag_.View(), tag.View()) << "the system tag was already stored";
}

// ---- The channel ----

class CommunicationTest : public DtmTest {
protected:
    void SetUp() override {
        DtmTest::SetUp();
        DriveNewToConfigured();
        ASSERT_HR(S_OK, ql::MakeObject(channel_));
    }
    void TearDown() override {
        channel_.Reset();
        DtmTest::TearDown();
    }
    HRESULT SetCommunication(IFdtCommunication* channel, VARIANT_BOOL* result) {
        return Dtm()->SetCommunication(channel, result);
    }
    ql::ComPtr<FakeChannel> channel_;
};

// The communication-set event is signalled on every exit, refusals included; the state stays 8.
TEST_F(CommunicationTest, RefusedChannelsLeaveTheDtmOffline) {
    ql::ComPtr<PlainObject> plain;
    ASSERT_HR(S_OK, ql::MakeObject(plain));
    const struct {
        const char* name;
        IFdtCommunication* channel;
        bool hasClient;
        HRESULT hr;
    } cases[] = {
        {"a channel of the wrong kind",
         reinterpret_cast<IFdtCommunication*>(static_cast<IUnknown*>(plain.Get())), true, S_FALSE},
        {"a null channel", nullptr, true, E_INVALIDARG},
        {"no client", channel_.Get(), false, S_FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        communication_.hasClient = c.hasClient;
        dtm_->Lifecycle().CommunicationSetEvent().Reset();
        VARIANT_BOOL result = VARIANT_TRUE;
        EXPECT_HR(c.hr, SetCommunication(c.channel, &result));
        if (c.hr == S_FALSE) {
            EXPECT_EQ(VARIANT_FALSE, result);
        }
        EXPECT_EQ(8u, State());
        EXPECT_EQ(nullptr, dtm_->Lifecycle().Channel());
        EXPECT_TRUE(dtm_->Lifecycle().CommunicationSetEvent().IsSet());
    }
    EXPECT_EQ(0, communication_.goOnlineCalls);
}

TEST_F(CommunicationTest, PrepareToReleaseCommunicationInNineCallsFrameEventNineteen) {
    communication_.connectAnswer = FakeCommunication::ConnectAnswer::Failure;
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_HR(S_OK, SetCommunication(channel_.Get(), &result));
    ASSERT_EQ(9u, State());
    frame_->ClearCalls();
    result = VARIANT_FALSE;
    EXPECT_HR(S_OK, Dtm()->PrepareToReleaseCommunication(&result));
    EXPECT_EQ(VARIANT_TRUE, result);
    ASSERT_EQ(1u, frame_->Calls().size());
    EXPECT_EQ(L"NotifyPreparedToReleaseCommunication", frame_->Calls()[0].Method);
    EXPECT_EQ(systemTag_.View(), frame_->Calls()[0].Arguments[0]);
    EXPECT_EQ(0, communication_.goOfflineCalls);
}

// ---- The end of an instance ----

TEST_F(LifecycleTest, PrepareToDeleteCallsFrameEventEighteenAndReachesThree) {
    DriveNewToConfigured();
    functions_.openUis = {L"UI-1", L"UI-2"};
    frame_->ClearCalls();
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_HR(S_OK, Dtm()->PrepareToDelete(&result));
    EXPECT_EQ(VARIANT_TRUE, result);
    EXPECT_EQ(3u, State());
    EXPECT_EQ((std::vector<std::wstring>{L"UI-1", L"UI-2"}), functions_.closeRequests);
    ASSERT_EQ(1u, frame_->CountCalls(L"NotifyPreparedToDelete"));
    EXPECT_EQ(systemTag_.View(), frame_->LastCall(L"NotifyPreparedToDelete")->Arguments[0]);
    EXPECT_EQ(std::vector<bool>{false}, communication_.channels);
}

}  // namespace
}  // namespace dtmtest
