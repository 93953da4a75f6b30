// The frame's online upload and download requests: the transfer runs through interfaces marshalled into a
// worker thread, the frame hears when it has finished, a cancel stops it without that event, and one request
// runs at a time. Every request here goes through the type-library marshaller of the build tree's prefix.
#include <gtest/gtest.h>

#include "CommTestSupport.h"
#include "classlib/PumpingWait.h"
#include "comm/CommunicationStates.h"
#include "frame/MessagePump.h"

namespace commtest {
namespace {

class OnlineRequestTest : public CommTest {
protected:
    bool WaitForRequestEnd() {
        return PumpUntil([this] { return !dtmint::IsOnlineRequestRunning(dtm_.Get()); }, 30000);
    }
    std::vector<std::pair<LONG, bool>> Progress() {
        std::vector<std::pair<LONG, bool>> progress;
        for (const FrameCall& call : frame_->Calls()) {
            if (call.Method == L"NotifyProgress") {
                progress.emplace_back(std::stol(call.Arguments[2]), call.Arguments[3] == L"TRUE");
            }
        }
        return progress;
    }

    ql::Bstr invokeId_{L"0C2F3C4D-0001-4000-8000-00000000A001"};
};

TEST_F(OnlineRequestTest, AnUploadRequestRunsOnItsWorkerAndTellsTheFrame) {
    GoOnline();
    frame_->ClearCalls();
    VARIANT_BOOL started = VARIANT_FALSE;
    ASSERT_HR(S_OK, OnlineRequests()->UploadRequest(invokeId_.Get(), ql::Bstr(L"all").Get(), &started));
    ASSERT_EQ(VARIANT_TRUE, started);
    EXPECT_TRUE(dtmint::IsOnlineRequestRunning(dtm_.Get()));
    EXPECT_EQ(StringOf(invokeId_.Get()), StringOf(dtmint::RunningOnlineRequestId(dtm_.Get())));
    ASSERT_TRUE(WaitForRequestEnd());
    ASSERT_TRUE(PumpUntil([this] { return frame_->CountCalls(L"NotifyUploadFinished") == 1; }));

    const FrameCall* finished = frame_->LastCall(L"NotifyUploadFinished");
    EXPECT_EQ(StringOf(invokeId_.Get()), finished->Arguments[0]);
    EXPECT_EQ(L"TRUE", finished->Arguments[1]);
    const auto progress = Progress();
    ASSERT_EQ(122u, progress.size());
    EXPECT_EQ(std::make_pair(0L, false), progress.front());
    EXPECT_EQ(std::make_pair(0L, true), progress[1]);
    EXPECT_EQ(std::make_pair(99L, true), progress[120]);
    EXPECT_EQ(std::make_pair(0L, false), progress.back());
    EXPECT_EQ(nullptr, dtmint::RunningOnlineRequestId(dtm_.Get()));
    EXPECT_EQ(L"all", StringOf(dtmint::OnlineRequestText(dtm_.Get())));
    EXPECT_EQ(1.02f, V_R4(Value(kCalibrationFactorId).Get()));
}

TEST_F(OnlineRequestTest, AFailureAnsweredNoFinishesWithFalse) {
    GoOnline();
    channel_->Device().SetBusyFor(1);
    AnswerQuestions(L"buttonNo");
    VARIANT_BOOL started = VARIANT_FALSE;
    ASSERT_HR(S_OK, OnlineRequests()->UploadRequest(invokeId_.Get(), nullptr, &started));
    ASSERT_TRUE(WaitForRequestEnd());
    ASSERT_TRUE(PumpUntil([this] { return frame_->CountCalls(L"NotifyUploadFinished") == 1; }));
    EXPECT_EQ(L"FALSE", frame_->LastCall(L"NotifyUploadFinished")->Arguments[1]);
    EXPECT_EQ(1u, Questions().size());
}

TEST_F(OnlineRequestTest, ACancelledUploadSendsNoFinishedEvent) {
    GoOnline();
    HRESULT cancelled = E_PENDING;
    VARIANT_BOOL stopped = VARIANT_FALSE;
    frame_->SetListener([&](const FrameCall& call) {
        if (call.Method == L"NotifyProgress" && call.Arguments[2] == L"20") {
            cancelled = OnlineRequests()->CancelOnlineRequest(invokeId_.Get(), &stopped);
        }
    });
    VARIANT_BOOL started = VARIANT_FALSE;
    ASSERT_HR(S_OK, OnlineRequests()->UploadRequest(invokeId_.Get(), nullptr, &started));
    ASSERT_TRUE(WaitForRequestEnd());
    PumpUntil([] { return false; }, 200);
    frame_->SetListener(nullptr);
    EXPECT_HR(S_OK, cancelled);
    EXPECT_EQ(VARIANT_TRUE, stopped);
    EXPECT_EQ(0u, frame_->CountCalls(L"NotifyUploadFinished"));
    EXPECT_EQ(std::make_pair(0L, false), Progress().back());
    EXPECT_FALSE(dtmint::Store(dtm_.Get()).StopRequested());
}

// The frame was told that the request started: when the worker cannot reach the DTM through its proxy, the
// frame still hears that it finished, with FALSE.
TEST_F(OnlineRequestTest, AWorkerThatCannotReachTheDtmStillFinishesTheRequest) {
    auto job = std::make_shared<OnlineRequestJob>();
    job->kind = OnlineRequestKind::Upload;
    ASSERT_HR(S_OK, job->invokeId.AssignCopy(invokeId_.Get()));
    // The frame stands in for a DTM whose proxy answers no store interface.
    IUnknown* frame = static_cast<IFrameContainer*>(frame_.Get());
    ASSERT_HR(S_OK, ::CoMarshalInterThreadInterfaceInStream(IID_IUnknown, frame, job->dtmStream.Put()));
    ASSERT_HR(S_OK, ::CoMarshalInterThreadInterfaceInStream(IID_IUnknown, frame, job->frameStream.Put()));
    HANDLE thread = nullptr;
    ASSERT_HR(S_OK, StartOnlineRequestWorker(job, &thread));
    const ql::Handle worker(thread);
    ASSERT_TRUE(PumpUntil([this] { return frame_->CountCalls(L"NotifyUploadFinished") == 1; }));
    EXPECT_EQ(L"FALSE", frame_->LastCall(L"NotifyUploadFinished")->Arguments[1]);
    // The worker gives its references back as calls on this thread before it ends.
    EXPECT_EQ(ql::PumpingWaitResult::Signalled, ql::WaitWithMessagePump(thread, 5000));
}

}  // namespace
}  // namespace commtest
