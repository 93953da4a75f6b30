// Cyclic reading against the registered DTM, online with the simulated flowmeter: a tick reads exactly its
// ids, only in state 12, never inside another tick of the same reader, and takes nothing but its own
// transfer mark off the access word.
#include <functional>

#include "ControlTestSupport.h"
#include "classlib/Variant.h"
#include "controls/base/QuelkCyclicTimer.h"
#include "dataset/VariableFields.h"

namespace controltest {
namespace {

constexpr UINT kDuringReadMessage = WM_APP + 1;

// A window whose posted message runs a test's action while the tick's device read pumps messages.
class DuringRead {
public:
    DuringRead() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ControlBaseDuringRead";
        ::RegisterClassW(&windowClass);
        window_.Attach(::CreateWindowW(L"ControlBaseDuringRead", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       windowClass.hInstance, nullptr));
        ::SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    void Post(std::function<void()> action) {
        action_ = std::move(action);
        ::PostMessageW(window_.Get(), kDuringReadMessage, 0, 0);
    }
    bool ran = false;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<DuringRead*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == kDuringReadMessage && self && self->action_) {
            self->ran = true;
            self->action_();
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    ql::WindowOwner window_;
    std::function<void()> action_;
};

class CyclicReadingTest : public DtmFixture {
protected:
    size_t Transactions() const {
        size_t count = 0;
        for (const SimulatedRequest& request : channel_->Requests()) count += request.kind == kSimTransaction;
        return count;
    }
    ULONG Access(ULONG id) {
        ql::ComPtr<IQuelkVariableFields> fields;
        EXPECT_HR(S_OK, store_->QueryInterface(IID_IQuelkVariableFields, fields.PutVoid()));
        ql::Variant word, number, mask;
        number.SetUI4(id);
        mask.SetUI4(kFieldAccess);
        EXPECT_HR(S_OK, fields->GetVariableField(*number, *mask, word.Get()));
        return V_UI4(word.Get());
    }
    void SetAccess(ULONG id, ULONG access) {
        ql::ComPtr<IQuelkVariableFields> fields;
        ASSERT_HR(S_OK, store_->QueryInterface(IID_IQuelkVariableFields, fields.PutVoid()));
        ql::Variant word, number, mask;
        number.SetUI4(id);
        mask.SetUI4(kFieldAccess);
        word.SetUI4(access);
        ASSERT_HR(S_OK, fields->SetVariableField(*number, *mask, *word));
    }

    CQuelkCyclicReader reader_;
};

TEST_F(CyclicReadingTest, ReadsItsIdsOnlyOnlineAndLeavesNoMark) {
    ASSERT_TRUE(reader_.Timer().AddId(kMassFlowId));
    ASSERT_TRUE(reader_.Timer().AddId(kCalibrationFactorId));
    const ULONG before = Access(kMassFlowId);

    ASSERT_NO_FATAL_FAILURE(GoOnline());
    ql::ComPtr<IQuelkVariables> variables;
    ASSERT_HR(S_OK, store_->QueryInterface(IID_IQuelkVariables, variables.PutVoid()));
    const size_t atStart = Transactions();
    reader_.Tick(variables.Get());
    EXPECT_EQ(atStart + 2, Transactions());
    EXPECT_EQ(before, Access(kMassFlowId));
    EXPECT_EQ(0u, Access(kCalibrationFactorId) & kAccessOnlineTransferMark);

    VARIANT_BOOL done = VARIANT_FALSE;
    ASSERT_HR(S_OK, session_.Dtm()->PrepareToReleaseCommunication(&done));
    ASSERT_NE(12u, session_.State());
    const size_t offline = Transactions();
    reader_.Tick(variables.Get());
    EXPECT_EQ(offline, Transactions());
}

// The device read pumps messages: a tick that arrives then is skipped, and a change that is made to the
// access word meanwhile survives the removal of the mark.
TEST_F(CyclicReadingTest, NestedTickIsSkippedAndChangesDuringTheReadSurvive) {
    ASSERT_TRUE(reader_.Timer().AddId(kCalibrationFactorId));
    ASSERT_NO_FATAL_FAILURE(GoOnline());
    ql::ComPtr<IQuelkVariables> variables;
    ASSERT_HR(S_OK, store_->QueryInterface(IID_IQuelkVariables, variables.PutVoid()));
    const ULONG before = Access(kCalibrationFactorId);
    const size_t atStart = Transactions();
    DuringRead duringRead;
    duringRead.Post([&] {
        reader_.Tick(variables.Get());
        SetAccess(kCalibrationFactorId, Access(kCalibrationFactorId) | kAccessDiffers);
    });
    reader_.Tick(variables.Get());
    ASSERT_TRUE(duringRead.ran);
    EXPECT_EQ(atStart + 1, Transactions());
    EXPECT_EQ(before | kAccessDiffers, Access(kCalibrationFactorId));
}

TEST(CyclicTimerTest, StartNeedsATimerIdAndStopIsIdempotent) {
    CQuelkCyclicTimer timer;
    ql::WindowOwner window(
        ::CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    EXPECT_FALSE(timer.Start(window.Get(), 0, 2000));
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_TRUE(timer.Start(window.Get(), reinterpret_cast<UINT_PTR>(&timer), 2000));
    EXPECT_TRUE(timer.IsRunning());
    timer.Stop();
    timer.Stop();
    EXPECT_FALSE(timer.IsRunning());
}

}  // namespace
}  // namespace controltest
