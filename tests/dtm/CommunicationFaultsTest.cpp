// The DTM object's communication under a frame that keeps its own timers running, calls back into the DTM
// from its event handlers, drops its references inside a wait, cancels at the last moment or shuts down, and
// under a channel that answers from threads of its own.
#include <thread>

#include "OnlineDtmTest.h"
#include "classlib/ComModule.h"
#include "classlib/Variant.h"

namespace dtmtest {
namespace {

// Longer than any wait of these tests may last; the frame's timer stops by itself after it, so that a wait
// that never ends while messages arrive still ends for the test to fail.
constexpr DWORD kTimerLifeMs = 3000;
constexpr DWORD kTimerIntervalMs = 20;

const ql::Bstr kInvokeId(L"0C2F3C4D-0002-4000-8000-00000000B001");

// A frame's periodic timer (a clock, a trend view) that ticks while the DTM waits, and stops after its life.
class FramePeriodicTimer {
public:
    FramePeriodicTimer()
        : start_(::GetTickCount64()), timer_(kTimerIntervalMs, [this] {
              if (::GetTickCount64() - start_ > kTimerLifeMs) timer_.Stop();
          }) {}

private:
    ULONGLONG start_;
    TestTimer timer_;
};

ULONGLONG MillisecondsSince(ULONGLONG start) { return ::GetTickCount64() - start; }

class CommunicationFaultsTest : public OnlineDtmTest {
protected:
    // The frame's finished event of an online request ("TRUE" or "FALSE"), empty while none came.
    std::wstring FinishedEvent(const wchar_t* method) const {
        const FrameCall* call = frame_->LastCall(method);
        return call ? call->Arguments[1] : std::wstring();
    }
    std::vector<std::wstring> ErrorMessages() const {
        std::vector<std::wstring> messages;
        for (const FrameCall& call : frame_->Calls()) {
            if (call.Method == L"NotifyErrorMessage") messages.push_back(call.Arguments[1]);
        }
        return messages;
    }
    // The number of device reads one upload of the dataset makes.
    size_t ReadsOfAnUpload() {
        const size_t before = channel_->CountRequests(kSimTransaction);
        VARIANT_BOOL ok = VARIANT_FALSE;
        EXPECT_HR(S_OK, Variables()->UploadParameters(nullptr, &ok));
        EXPECT_EQ(VARIANT_TRUE, ok);
        return channel_->CountRequests(kSimTransaction) - before;
    }
};

// Every wait ends at its time-out after it began, also while a timer of the frame keeps messages coming.
enum class SilentWait { DeviceRead, GoingOffline, UploadConnect, ReleaseWhileConnecting };

class WaitLimitTest : public CommunicationFaultsTest, public ::testing::WithParamInterface<SilentWait> {};

TEST_P(WaitLimitTest, EndsAtItsTimeOutWhileAFrameTimerRuns) {
    const SilentWait wait = GetParam();
    const bool connects = wait == SilentWait::UploadConnect || wait == SilentWait::ReleaseWhileConnecting;
    channel_->AddFault(
        {ChannelFault::Silence,
         connects ? kSimConnect : (wait == SilentWait::GoingOffline ? kSimDisconnect : kSimTransaction)});
    if (connects) {
        ASSERT_NO_FATAL_FAILURE(HandOverChannel());
    } else {
        ASSERT_NO_FATAL_FAILURE(GoOnline());
    }

    FramePeriodicTimer frameTimer;
    const ULONGLONG start = ::GetTickCount64();
    VARIANT_BOOL result = VARIANT_FALSE;
    switch (wait) {
        case SilentWait::DeviceRead:
            EXPECT_HR(E_ABORT, Variables()->ReadFromDevice(kCalibrationFactorId, &result));
            break;
        case SilentWait::GoingOffline:
        case SilentWait::ReleaseWhileConnecting:
            EXPECT_HR(S_FALSE, Dtm()->PrepareToReleaseCommunication(&result));
            break;
        case SilentWait::UploadConnect:
            EXPECT_HR(S_FALSE, OnlineRequests()->UploadRequest(kInvokeId.Get(), nullptr, &result));
            break;
    }
    EXPECT_LT(MillisecondsSince(start), 4 * kShortWaitMs) << "the wait outlasted its time-out";
}

INSTANTIATE_TEST_SUITE_P(Waits, WaitLimitTest,
                         ::testing::Values(SilentWait::DeviceRead, SilentWait::GoingOffline,
                                           SilentWait::UploadConnect, SilentWait::ReleaseWhileConnecting));

TEST_F(CommunicationFaultsTest, AnAbortEndsTheReadsThatWaitAtOnce) {
    ASSERT_NO_FATAL_FAILURE(GoOnline());
    dtmint::SetTransactionTimeouts(dtm_.Get(), 5000, 5000);
    channel_->AddFault({ChannelFault::Silence, kSimTransaction});
    TestTimer abort(30, [this] { channel_->AbortConnection(); });
    const ULONGLONG start = ::GetTickCount64();
    VARIANT_BOOL done = VARIANT_FALSE;
    EXPECT_HR(E_ABORT, Variables()->ReadFromDevice(kCalibrationFactorId, &done));
    EXPECT_LT(MillisecondsSince(start), 1000u) << "the read waited out its time-out";
    EXPECT_EQ(9u, State());
    EXPECT_EQ(0u, dtmint::PendingTransactionCount(dtm_.Get()));
}

// A frame upload or download that ends on a silent device tells the frame, with FALSE.
TEST_F(CommunicationFaultsTest, FrameRequestsEndingOnATimeOutAreReported) {
    ASSERT_NO_FATAL_FAILURE(GoOnline());
    channel_->AddFault({ChannelFault::Silence, kSimTransaction, 0, -1});
    FramePeriodicTimer frameTimer;
    for (const bool upload : {true, false}) {
        SCOPED_TRACE(upload ? "upload" : "download");
        const wchar_t* event = upload ? L"NotifyUploadFinished" : L"NotifyDownloadFinished";
        VARIANT_BOOL started = VARIANT_FALSE;
        ASSERT_HR(S_OK, upload ? OnlineRequests()->UploadRequest(kInvokeId.Get(), nullptr, &started)
                               : OnlineRequests()->DownloadRequest(kInvokeId.Get(), nullptr, &started));
        ASSERT_EQ(VARIANT_TRUE, started);
        ASSERT_TRUE(PumpUntil([&] { return !FinishedEvent(event).empty(); }, 5000))
            << "the frame waits forever";
        EXPECT_EQ(L"FALSE", FinishedEvent(event));
        ASSERT_TRUE(PumpUntil([this] { return !dtmint::IsOnlineRequestRunning(dtm_.Get()); }));
    }
}

// A read that runs inside the upload's wait (a timer's) and succeeds must not hide the upload's own failure.
TEST_F(CommunicationFaultsTest, AnUploadJudgesEachParameterByItsOwnAnswer) {
    ASSERT_NO_FATAL_FAILURE(GoOnline());
    // The upload's first read fails on the device and is answered while the timer's read still waits.
    channel_->SetAnswerTiming(AnswerTiming::Later, 100);
    ChannelFaultRule deviceError{ChannelFault::DeviceError, kSimTransaction};
    deviceError.errorCode = {0x80, 0xC2, 0x00};  // resource busy
    channel_->AddFault(deviceError);
    ChannelFaultRule late{ChannelFault::LateAnswer, kSimTransaction};
    late.delayMs = 400;
    channel_->AddFault(late);
    dtmint::SetTransactionTimeouts(dtm_.Get(), 2000, 2000);
    bool nestedRead = false;
    TestTimer timer(10, [&] {
        if (nestedRead || channel_->CountRequests(kSimTransaction) != 1) return;
        nestedRead = true;
        VARIANT_BOOL done = VARIANT_FALSE;
        EXPECT_HR(S_OK, Variables()->ReadFromDevice(kCalibrationFactorId, &done));
        channel_->SetAnswerTiming(AnswerTiming::Later, 0);
    });

    frame_->ClearCalls();
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_HR(S_OK, Variables()->UploadParameters(nullptr, &ok));
    EXPECT_TRUE(nestedRead);
    EXPECT_EQ(VARIANT_FALSE, ok);
    const std::vector<std::wstring> errors = ErrorMessages();
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(
        L"Physical Block - BlockObject:ErrorCode 80C200 recieved! Resource busy, ReadRequest Parameter 0.16",
        errors.front());
    EXPECT_EQ(1u, frame_->CountCalls(L"UserDialog")) << "the stop question";
}

// What a frame does from its online-state events, and what it must find then.
enum class FromEvent {
    UploadWhenOnline,
    AbortWhenOnline,
    ReleaseWhenAbortedOffline,
    PrepareAgainWhenOffline
};

struct EventCase {
    FromEvent action;
    bool onlineEvent;  // the event that triggers it
    ULONG finalState;
};

class FrameEventTest : public CommunicationFaultsTest, public ::testing::WithParamInterface<EventCase> {};

TEST_P(FrameEventTest, TheDtmIsInTheStateTheFrameWasToldOf) {
    const EventCase& c = GetParam();
    if (c.action != FromEvent::UploadWhenOnline && c.action != FromEvent::AbortWhenOnline) {
        ASSERT_NO_FATAL_FAILURE(GoOnline());
    }
    // The channel's abort reaches the DTM inside the frame's handler, while the online event is told.
    if (c.action == FromEvent::AbortWhenOnline) channel_->SetAnswerTiming(AnswerTiming::DuringRequest);
    bool fired = false;
    HRESULT inner = E_PENDING;
    VARIANT_BOOL innerResult = VARIANT_FALSE;
    frame_->SetListener([&](const FrameCall& call) {
        if (fired || call.Method != L"NotifyOnlineStateChanged" ||
            call.Arguments[1] != (c.onlineEvent ? L"TRUE" : L"FALSE")) {
            return;
        }
        fired = true;
        switch (c.action) {
            case FromEvent::UploadWhenOnline:
                inner = OnlineRequests()->UploadRequest(kInvokeId.Get(), nullptr, &innerResult);
                break;
            case FromEvent::AbortWhenOnline:
                channel_->AbortConnection();
                inner = S_OK;
                innerResult = VARIANT_TRUE;
                break;
            case FromEvent::ReleaseWhenAbortedOffline:
                inner = Dtm()->ReleaseCommunication(&innerResult);
                break;
            case FromEvent::PrepareAgainWhenOffline:
                inner = Dtm()->PrepareToReleaseCommunication(&innerResult);
                break;
        }
    });
    VARIANT_BOOL result = VARIANT_FALSE;
    switch (c.action) {
        case FromEvent::UploadWhenOnline:
        case FromEvent::AbortWhenOnline:
            ASSERT_NO_FATAL_FAILURE(HandOverChannel());
            ASSERT_TRUE(PumpUntil([&] { return fired; }));
            break;
        case FromEvent::ReleaseWhenAbortedOffline:
            channel_->AbortConnection();
            ASSERT_TRUE(PumpUntil([&] { return fired; }));
            break;
        case FromEvent::PrepareAgainWhenOffline:
            EXPECT_HR(S_OK, Dtm()->PrepareToReleaseCommunication(&result));
            EXPECT_EQ(VARIANT_TRUE, result);
            EXPECT_HR(S_FALSE, inner) << "the inner call waits for nothing";
            inner = S_OK;
            innerResult = VARIANT_TRUE;
            break;
    }
    // An abort from the handler reaches the DTM later, as the channel's answers do.
    ASSERT_TRUE(PumpUntil([this] { return channel_->QueuedAnswerCount() == 0; }));
    frame_->SetListener(nullptr);
    ASSERT_TRUE(fired);
    EXPECT_HR(S_OK, inner);
    EXPECT_EQ(VARIANT_TRUE, innerResult);
    EXPECT_EQ(c.finalState, State());
    EXPECT_EQ(c.finalState == 12 ? L"TRUE" : L"FALSE", LastOnlineEvent());
    if (c.action == FromEvent::UploadWhenOnline) {
        ASSERT_TRUE(PumpUntil([&] { return !FinishedEvent(L"NotifyUploadFinished").empty(); }));
        EXPECT_EQ(L"TRUE", FinishedEvent(L"NotifyUploadFinished"));
    }
    if (c.finalState != 9) return;
    // Never wedged: the frame can release the communication and then the DTM.
    EXPECT_HR(S_OK, Dtm()->ReleaseCommunication(&result));
    EXPECT_HR(S_OK, Dtm()->PrepareToRelease(&result));
    EXPECT_EQ(2u, State());
}

INSTANTIATE_TEST_SUITE_P(Handlers, FrameEventTest,
                         ::testing::Values(EventCase{FromEvent::UploadWhenOnline, true, 12},
                                           EventCase{FromEvent::AbortWhenOnline, true, 9},
                                           EventCase{FromEvent::ReleaseWhenAbortedOffline, false, 8},
                                           EventCase{FromEvent::PrepareAgainWhenOffline, false, 9}));

// A frame handler inside a wait drops the frame's last reference: the DTM lives until its call returns.
class DroppedInsideAWaitTest : public CommunicationFaultsTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DroppedInsideAWaitTest, TheDtmOutlivesTheCallThatWaits) {
    const bool goingOffline = GetParam();
    channel_->AddFault({ChannelFault::Silence, goingOffline ? kSimDisconnect : kSimConnect});
    if (goingOffline) {
        ASSERT_NO_FATAL_FAILURE(GoOnline());
    } else {
        ASSERT_NO_FATAL_FAILURE(HandOverChannel());
    }
    IDtm* dtm = Dtm();
    IDtmOnlineParameter* requests = OnlineRequests().Get();  // the DTM keeps it alive
    const LONG locksWithDtm = ql::ComModule::Instance().LockCount();
    bool aliveAfterDrop = false;
    TestTimer closeProject(30, [&] {
        if (!dtm_) return;
        channel_->DropCallback();
        dtm_.Reset();
        aliveAfterDrop = ql::ComModule::Instance().LockCount() == locksWithDtm;
    });
    VARIANT_BOOL result = VARIANT_FALSE;
    const HRESULT hr = goingOffline ? dtm->PrepareToReleaseCommunication(&result)
                                    : requests->UploadRequest(kInvokeId.Get(), nullptr, &result);
    closeProject.Stop();
    EXPECT_HR(S_FALSE, hr);
    EXPECT_TRUE(aliveAfterDrop) << "freed inside its own wait";
    EXPECT_EQ(locksWithDtm - 1, ql::ComModule::Instance().LockCount()) << "gone once its call returned";
}

INSTANTIATE_TEST_SUITE_P(Waits, DroppedInsideAWaitTest, ::testing::Values(true, false));

// A channel that answers from a thread of its own is refused before anything is touched.
TEST_F(CommunicationFaultsTest, TheSinkRefusesCallsFromAnotherThread) {
    ASSERT_NO_FATAL_FAILURE(GoOnline());
    channel_->AddFault({ChannelFault::Silence, kSimTransaction});
    VARIANT_BOOL sent = VARIANT_FALSE;
    ASSERT_HR(S_OK, Variables()->ReadFromDeviceAsync(kCalibrationFactorId, &sent));
    ASSERT_EQ(1u, dtmint::PendingTransactionCount(dtm_.Get()));
    const ql::Bstr pendingId(channel_->Requests().back().invokeId.c_str());
    const ql::Bstr reference(dtmint::CommunicationReference(dtm_.Get()));
    ql::ComPtr<IFdtCommunicationEvents> sink;
    ASSERT_HR(S_OK, dtm_->QueryInterface(IID_IFdtCommunicationEvents, sink.PutVoid()));

    std::vector<HRESULT> answers;
    std::thread foreign([&] {
        const ql::Bstr response(L"<FDT/>");
        answers.push_back(sink->OnTransactionResponse(pendingId.Get(), response.Get()));
        answers.push_back(sink->OnConnectResponse(pendingId.Get(), response.Get()));
        answers.push_back(sink->OnDisconnectResponse(pendingId.Get(), response.Get()));
        answers.push_back(sink->OnAbort(reference.Get()));
    });
    foreign.join();
    EXPECT_EQ(std::vector<HRESULT>(4, RPC_E_WRONG_THREAD), answers);
    EXPECT_EQ(1u, dtmint::PendingTransactionCount(dtm_.Get()));
    EXPECT_EQ(12u, State());
}

// A cancel that arrives while the last parameter is read still stops the run: no finished event.
TEST_F(CommunicationFaultsTest, ACancelDuringTheLastParameterStopsTheUpload) {
    ASSERT_NO_FATAL_FAILURE(GoOnline());
    const size_t reads = ReadsOfAnUpload();
    ASSERT_GT(reads, 1u);
    const size_t before = channel_->CountRequests(kSimTransaction);
    ChannelFaultRule lastLate{ChannelFault::LateAnswer, kSimTransaction, static_cast<int>(reads) - 1};
    lastLate.delayMs = 300;
    channel_->AddFault(lastLate);
    HRESULT cancelled = E_PENDING;
    VARIANT_BOOL stopped = VARIANT_FALSE;
    TestTimer frameCancel(10, [&] {
        if (cancelled != E_PENDING || channel_->CountRequests(kSimTransaction) != before + reads) return;
        cancelled = OnlineRequests()->CancelOnlineRequest(kInvokeId.Get(), &stopped);
    });
    VARIANT_BOOL started = VARIANT_FALSE;
    ASSERT_HR(S_OK, OnlineRequests()->UploadRequest(kInvokeId.Get(), nullptr, &started));
    ASSERT_TRUE(PumpUntil([this] { return !dtmint::IsOnlineRequestRunning(dtm_.Get()); }));
    PumpMessagesUntil([] { return false; }, 100);
    EXPECT_HR(S_OK, cancelled);
    EXPECT_EQ(VARIANT_TRUE, stopped);
    EXPECT_EQ(L"", FinishedEvent(L"NotifyUploadFinished"));
}

// The frame shutting down during an upload: the run ends once, without a failure per parameter or a question.
TEST_F(CommunicationFaultsTest, AQuitDuringAnUploadEndsItOnce) {
    ASSERT_NO_FATAL_FAILURE(GoOnline());
    channel_->SetAnswerTiming(AnswerTiming::Later, 20);
    TestTimer shutdown(10, [&] {
        if (channel_->CountRequests(kSimTransaction) >= 3) {
            ::PostQuitMessage(0);
            shutdown.Stop();
        }
    });
    frame_->ClearCalls();
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_HR(E_ABORT, Variables()->UploadParameters(nullptr, &ok));
    MSG quit;
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "the quit stays for the frame";
    EXPECT_EQ(VARIANT_FALSE, ok);
    EXPECT_EQ(std::vector<std::wstring>{}, ErrorMessages());
    EXPECT_EQ(0u, frame_->CountCalls(L"UserDialog"));
}

// A read never answered does not outlive its connection.
TEST_F(CommunicationFaultsTest, ADisconnectEndsTheRequestsOfItsConnection) {
    ASSERT_NO_FATAL_FAILURE(GoOnline());
    channel_->AddFault({ChannelFault::Silence, kSimTransaction});
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_HR(S_OK, Variables()->ReadFromDeviceAsync(kCalibrationFactorId, &result));
    ASSERT_EQ(1u, dtmint::PendingTransactionCount(dtm_.Get()));
    ASSERT_HR(S_OK, Dtm()->PrepareToReleaseCommunication(&result));
    ASSERT_EQ(VARIANT_TRUE, result);
    EXPECT_EQ(0u, dtmint::PendingTransactionCount(dtm_.Get()));
}

}  // namespace
}  // namespace dtmtest
