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
    IXMLDOMSchemaCollection* schemas = dtm_->XmlHandler().SchemaCollection();
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
    EXPECT_EQ(nullptr, dtm_->Frame()) << "no frame pointer is kept";
    ql::Bstr tag;
    ASSERT_HR(S_OK, dtm_->GetSystemTag(tag.Put()));
    EXPECT_EQ(systemTag_.View(), tag.View()) << "the system tag was already stored";
}

TEST_F(LifecycleTest, EnvironmentChecksItsArgumentsAndPassesOnTheFramesSchemaFolderFailure) {
    InitNewDataset();
    VARIANT_BOOL result = VARIANT_TRUE;
    EXPECT_HR(E_INVALIDARG, Dtm()->Environment(nullptr, frame_.Get(), &result));
    EXPECT_HR(E_INVALIDARG, Dtm()->Environment(systemTag_.Get(), nullptr, &result));
    EXPECT_HR(E_INVALIDARG, Dtm()->Environment(systemTag_.Get(), frame_.Get(), nullptr));
    frame_->Script().SchemaFolderResult = E_ACCESSDENIED;
    EXPECT_HR(E_ACCESSDENIED, Dtm()->Environment(systemTag_.Get(), frame_.Get(), &result));
    EXPECT_EQ(4u, State());
}

TEST_F(LifecycleTest, MissingSchemaFilesAreReportedToTheFrameAndSkipped) {
    InitNewDataset();
    frame_->Script().SchemaFolder = L"C:\\no such folder";
    Environment();
    EXPECT_EQ(6u, State());
    // Files the registry's schema folder (the fallback) does not hold either are named to the frame.
    LONG added = 0;
    ASSERT_HR(S_OK, dtm_->XmlHandler().SchemaCollection()->get_length(&added));
    ASSERT_EQ(size_t(10 - added), frame_->CountCalls(L"NotifyErrorMessage"));
    for (const FrameCall& call : frame_->Calls()) {
        if (call.Method != L"NotifyErrorMessage") continue;
        EXPECT_EQ(systemTag_.View(), call.Arguments[0]);
        EXPECT_NE(std::wstring::npos, call.Arguments[1].find(L"Problems while loading schema"));
    }
}

TEST_F(LifecycleTest, InitNewKeepsTheDeviceTypeElementAndRefusesADocumentWithoutOne) {
    InitNewDataset();
    Environment();
    ql::Bstr document(
        L"<?xml version=\"1.0\"?><FDT xmlns=\"x-schema:FDTUserInformationSchema.xml\">"
        L"<FDTUserInformation userLevel=\"observer\"/></FDT>");
    VARIANT_BOOL result = VARIANT_TRUE;
    EXPECT_HR(S_FALSE, Dtm()->InitNew(document.Get(), &result));
    EXPECT_EQ(VARIANT_FALSE, result);
    EXPECT_EQ(6u, State());
    EXPECT_TRUE(dtm_->DeviceType().IsNull());
    InitNewDeviceType();
    const std::wstring kept(dtm_->DeviceType().View());
    EXPECT_EQ(0u, kept.find(L"<fdt:DtmDeviceType")) << std::string(kept.begin(), kept.end());
    EXPECT_NE(std::wstring::npos, kept.find(L"Orvo Varnok Profile3 Device"));
}

TEST_F(LifecycleTest, ConfigRefusesAFaultyDocument) {
    InitNewDataset();
    Environment();
    InitNewDeviceType();
    struct Case {
        const char* name;
        const wchar_t* document;
    };
    const Case cases[] = {
        {"not XML", L"<FDT"},
        {"no user level", L"<?xml version=\"1.0\"?><FDT xmlns=\"x-schema:FDTUserInformationSchema.xml\"/>"},
        {"null document", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ql::Bstr document(c.document);
        VARIANT_BOOL result = VARIANT_TRUE;
        EXPECT_HR(S_FALSE, Dtm()->Config(document.Get(), &result));
        EXPECT_EQ(VARIANT_FALSE, result);
        EXPECT_EQ(7u, State());
    }
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
        dtm_->CommunicationSetEvent().Reset();
        VARIANT_BOOL result = VARIANT_TRUE;
        EXPECT_HR(c.hr, SetCommunication(c.channel, &result));
        if (c.hr == S_FALSE) {
            EXPECT_EQ(VARIANT_FALSE, result);
        }
        EXPECT_EQ(8u, State());
        EXPECT_EQ(nullptr, dtm_->Channel());
        EXPECT_TRUE(dtm_->CommunicationSetEvent().IsSet());
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

TEST_F(CommunicationTest, SetCommunicationGoesOnlineAtOnceAndReleasingRunsTheRoadBackwards) {
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_HR(S_OK, SetCommunication(channel_.Get(), &result));
    EXPECT_EQ(VARIANT_TRUE, result);
    EXPECT_EQ(12u, State());
    EXPECT_EQ(1, communication_.goOnlineCalls);
    EXPECT_EQ(channel_.Get(), dtm_->Channel());
    EXPECT_TRUE(dtm_->CommunicationSetEvent().IsSet());
    EXPECT_HR(S_OK, Dtm()->PrepareToReleaseCommunication(&result));
    EXPECT_EQ(9u, State());
    EXPECT_EQ(1, communication_.goOfflineCalls);
    EXPECT_HR(S_OK, Dtm()->ReleaseCommunication(&result));
    EXPECT_EQ(8u, State());
    EXPECT_EQ(nullptr, dtm_->Channel());
    EXPECT_EQ((std::vector<bool>{true, false}), communication_.channels);
    EXPECT_HR(S_OK, Dtm()->PrepareToRelease(&result));
    EXPECT_EQ(2u, State());
    // The frame heard of online and offline exactly once each.
    EXPECT_EQ(2u, frame_->CountCalls(L"NotifyOnlineStateChanged"));
}

// A failed disconnect answers S_FALSE; a running online request answers S_OK with FALSE; both keep the
// channel.
TEST_F(CommunicationTest, AFailedDisconnectOrARunningRequestKeepsTheChannel) {
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_HR(S_OK, SetCommunication(channel_.Get(), &result));
    for (bool transfer : {false, true}) {
        SCOPED_TRACE(transfer ? "request running" : "disconnect fails");
        communication_.disconnects = transfer;
        communication_.requestRunning = transfer;
        result = VARIANT_TRUE;
        EXPECT_HR(transfer ? S_OK : S_FALSE, Dtm()->PrepareToReleaseCommunication(&result));
        EXPECT_EQ(VARIANT_FALSE, result);
        EXPECT_EQ(12u, State());
    }
    EXPECT_EQ(1, communication_.goOfflineCalls) << "a running request is not even asked to go offline";
    EXPECT_EQ(0u, frame_->CountCalls(L"NotifyPreparedToReleaseCommunication"));
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

TEST_F(LifecycleTest, AUserInterfaceThatStaysOpenEndsTheClosingLoop) {
    DriveNewToConfigured();
    functions_.openUis = {L"UI-1", L"UI-2"};
    functions_.uisClose = false;
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_HR(S_OK, Dtm()->PrepareToDelete(&result));
    EXPECT_EQ(std::vector<std::wstring>{L"UI-1"}, functions_.closeRequests) << "asked once, not forever";
    EXPECT_EQ(3u, State());
}

TEST_F(LifecycleTest, PrepareToReleaseWithAnOpenUserInterfaceRefuses) {
    DriveNewToConfigured();
    functions_.openUis = {L"UI-1"};
    VARIANT_BOOL result = VARIANT_TRUE;
    EXPECT_HR(S_FALSE, Dtm()->PrepareToRelease(&result));
    EXPECT_EQ(VARIANT_FALSE, result);
    EXPECT_EQ(8u, State());
}

TEST_F(LifecycleTest, LockBroadcastsAndUnlockIsQuiet) {
    VARIANT_BOOL unused = VARIANT_TRUE;
    EXPECT_HR(S_OK, dtm_->LockData(nullptr, &unused));
    EXPECT_TRUE(dtm_->DataLocked());
    ASSERT_EQ(1u, functions_.notifications.size());
    EXPECT_EQ(0x270Au, functions_.notifications.back().code);
    EXPECT_EQ(VT_BOOL, functions_.notifications.back().type);
    EXPECT_EQ(VARIANT_FALSE, functions_.notifications.back().number);
    VARIANT_BOOL result = VARIANT_TRUE;
    EXPECT_HR(S_OK, dtm_->UnlockData(nullptr, &result));
    EXPECT_EQ(VARIANT_FALSE, result);
    EXPECT_FALSE(dtm_->DataLocked());
    EXPECT_EQ(1u, functions_.notifications.size());
    EXPECT_HR(E_POINTER, dtm_->UnlockData(nullptr, nullptr));
}

}  // namespace
}  // namespace dtmtest
