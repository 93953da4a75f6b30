#pragma once
// The DTM object with its real DP-V1 client, online requests and dataset transfer, driven along the frame's
// road against the simulated channel and flowmeter (answers later, on thread timers). Only the functions
// service is a double here: it records the state and connection broadcasts the open user interfaces would
// receive. A test timer plays the frame's own periodic timers and handlers.
#include <functional>
#include <map>
#include <utility>

#include "DtmTestSupport.h"
#include "frame/MessagePump.h"
#include "frame/simulator/SimulatedDpv1Channel.h"
#include "tests/support/DtmInternals.h"
#include "tests/support/TestPaths.h"

namespace dtmtest {

constexpr ULONG kStationAddressId = 3;
constexpr ULONG kCalibrationFactorId = 39;  // a readable and writable device parameter (VT_R4)
constexpr DWORD kShortWaitMs = 200;

// Runs `tick` every `intervalMs` on this thread's timer while it lives; a tick never runs inside itself.
class TestTimer {
public:
    TestTimer(DWORD intervalMs, std::function<void()> tick) : tick_(std::move(tick)) {
        id_ = ::SetTimer(nullptr, 0, intervalMs, &TestTimer::OnTimer);
        Timers()[id_] = this;
    }
    TestTimer(const TestTimer&) = delete;
    TestTimer& operator=(const TestTimer&) = delete;
    ~TestTimer() { Stop(); }
    void Stop() {
        if (!id_) return;
        ::KillTimer(nullptr, id_);
        Timers().erase(id_);
        id_ = 0;
    }

private:
    static std::map<UINT_PTR, TestTimer*>& Timers() {
        static std::map<UINT_PTR, TestTimer*> timers;
        return timers;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
        const auto found = Timers().find(id);
        if (found == Timers().end() || found->second->busy_) return;
        TestTimer& timer = *found->second;
        timer.busy_ = true;
        timer.tick_();
        // The tick may have stopped (and so ended) the timer.
        if (Timers().count(id)) timer.busy_ = false;
    }

    std::function<void()> tick_;
    UINT_PTR id_ = 0;
    bool busy_ = false;
};

class OnlineDtmTest : public DtmTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DtmTest::SetUp());
        // A DTM of our own with its real communication parts; only the functions double is attached.
        dtm_.Reset();
        ASSERT_HR(S_OK, ql::MakeObject(dtm_));
        dtm_->Lifecycle().AttachFunctions(&functions_);
        dtm_->Lifecycle().SetStateWaitTime(kShortWaitMs);
        dtmint::SetTransactionTimeouts(dtm_.Get(), kShortWaitMs, kShortWaitMs);
        ASSERT_HR(S_OK, ql::MakeObject(channel_));
        ASSERT_HR(S_OK, channel_->SetSchemaFolder(vtest::SchemasFolder()));
        channel_->Device().SetFrozen(true);
        ASSERT_NO_FATAL_FAILURE(DriveNewToConfigured());
        ql::Variant address;
        address.SetUI1(channel_->Device().StationAddress());
        ASSERT_HR(S_OK, Variables()->SetValue(kStationAddressId, *address));
    }
    void TearDown() override {
        // A worker of a frame request gives its marshalled references back as calls on this thread.
        if (dtm_) (void)PumpUntil([this] { return !dtmint::IsOnlineRequestRunning(dtm_.Get()); });
        PumpMessagesUntil([] { return false; }, 50);
        // The frame takes the channel back; the channel lets go of the DTM's answer sink.
        if (dtm_) (void)dtm_->Client().SetChannel(nullptr);
        if (channel_) channel_->DropCallback();
        channel_.Reset();
        PumpPendingMessages();
        DtmTest::TearDown();
    }

    ql::ComPtr<IQuelkVariablesEx> Variables() {
        ql::ComPtr<IQuelkVariablesEx> variables;
        EXPECT_HR(S_OK, dtm_->QueryInterface(IID_IQuelkVariablesEx, variables.PutVoid()));
        return variables;
    }
    ql::ComPtr<IDtmOnlineParameter> OnlineRequests() {
        ql::ComPtr<IDtmOnlineParameter> requests;
        EXPECT_HR(S_OK, dtm_->QueryInterface(IID_IDtmOnlineParameter, requests.PutVoid()));
        return requests;
    }
    // IDtm::SetCommunication with the simulated channel: state 9, then 10 with the connect request out.
    void HandOverChannel() {
        VARIANT_BOOL result = VARIANT_FALSE;
        ASSERT_HR(S_OK, Dtm()->SetCommunication(channel_.Get(), &result));
        ASSERT_EQ(VARIANT_TRUE, result);
    }
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
        return PumpMessagesUntil(done, timeoutMs);
    }
    void GoOnline() {
        ASSERT_NO_FATAL_FAILURE(HandOverChannel());
        ASSERT_TRUE(PumpUntil([this] { return State() != 10u; }));
        ASSERT_EQ(12u, State());
    }
    size_t CountNotifications(ULONG code) const {
        size_t count = 0;
        for (const auto& notification : functions_.notifications) count += notification.code == code ? 1 : 0;
        return count;
    }
    // The argument of the frame's last online-state event ("TRUE" or "FALSE"), empty when none came.
    std::wstring LastOnlineEvent() const {
        const FrameCall* call = frame_->LastCall(L"NotifyOnlineStateChanged");
        return call ? call->Arguments[1] : std::wstring();
    }

    ql::ComPtr<CSimulatedDpv1Channel> channel_;
};

}  // namespace dtmtest
