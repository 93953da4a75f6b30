// The frame host as a DTM sees it: every call recorded with its arguments, every answer from the script.
#include "FrameTestSupport.h"
#include "classlib/Bstr.h"
#include "frame/MessagePump.h"

namespace frametest {
namespace {

using FrameHostTest = FrameTest;

TEST_F(FrameHostTest, AFrameScriptedWithoutEventsDoesNotAnswerThem) {
    frame_->Script().AnswersFrameEvents = false;
    ql::ComPtr<IFrameEvents> events;
    EXPECT_HR(E_NOINTERFACE, frame_->QueryInterface(IID_IFrameEvents, events.PutVoid()));
    EXPECT_EQ(nullptr, events.Get());
}

TEST_F(FrameHostTest, RecordsCallsAndAnswersFromTheScript) {
    frame_->Script().SchemaFolder = L"C:\\Schemas";
    frame_->Script().GrantsDataSetLock = false;
    frame_->Script().DialogAnswer = L"<FDT><Answer button=\"buttonYes\"/></FDT>";
    std::vector<std::wstring> heard;
    frame_->SetListener([&](const FrameCall& call) { heard.push_back(call.Method); });

    ql::Bstr tag(L"Tag 1"), text(L"Text \u00fc");
    ql::Bstr folder, answer;
    VARIANT_BOOL flag = VARIANT_TRUE;
    EXPECT_HR(S_OK, frame_->GetSchemaFolder(folder.Put()));
    EXPECT_EQ(L"C:\\Schemas", folder.View());
    EXPECT_HR(S_OK, frame_->LockDataSet(tag.Get(), &flag));
    EXPECT_EQ(VARIANT_FALSE, flag);
    EXPECT_HR(S_OK, frame_->UserDialog(tag.Get(), text.Get(), answer.Put()));
    EXPECT_EQ(frame_->Script().DialogAnswer, answer.View());
    EXPECT_HR(S_OK, frame_->NotifyProgress(tag.Get(), text.Get(), 42, VARIANT_TRUE));
    EXPECT_HR(S_OK, frame_->NotifyErrorMessage(tag.Get(), nullptr));

    ASSERT_EQ(5u, frame_->Calls().size());
    const FrameCall& progress = frame_->Calls()[3];
    EXPECT_EQ(L"NotifyProgress", progress.Method);
    EXPECT_EQ((std::vector<std::wstring>{L"Tag 1", L"Text \u00fc", L"42", L"TRUE"}), progress.Arguments);
    EXPECT_EQ(L"", frame_->LastCall(L"NotifyErrorMessage")->Arguments[1]) << "a null text records as empty";
    EXPECT_EQ(5u, heard.size());
    EXPECT_EQ(1u, frame_->CountCalls(L"LockDataSet"));
    EXPECT_EQ(nullptr, frame_->LastCall(L"UnlockDataSet"));
}

bool g_timerFired = false;
void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) { g_timerFired = true; }

TEST_F(FrameHostTest, PumpsMessagesWhileItWaits) {
    // The timer's message is dispatched only by a frame that pumps while it waits.
    g_timerFired = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &OnTimer);
    ASSERT_NE(0u, timer);
    EXPECT_TRUE(PumpMessagesUntil([] { return g_timerFired; }, 5000));
    ::KillTimer(nullptr, timer);
    EXPECT_FALSE(PumpMessagesUntil([] { return false; }, 30)) << "a wait for nothing times out";
}

}  // namespace
}  // namespace frametest
