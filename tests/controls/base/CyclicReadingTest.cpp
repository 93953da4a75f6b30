// Cyclic reading against the registered DTM, online with the simulated flowmeter: a tick reads exactly its
// ids, only in state 12, never inside another tick of the same reader, and takes nothing but its own
// transfer mark off the access word.
#include <functional>

#include "ControlTestSupport.h"
#include "classlib/Variant.h"
#include "controls/base/ControlArguments.h"
#include "controls/base/QuelkCyclicTimer.h"
#include "dataset/VariableFields.h"

namespace controltest {
namespace {

// What a test does while the tick's device read pumps messages: a one-shot thread timer runs it.
std::function<void()> duringRead;

void CALLBACK RunDuringRead(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    if (duringRead) duringRead();
    duringRead = nullptr;
}

class CyclicReadingTest : public DtmFixture {
protected:
    size_t Transactions() const {
        size_t count = 0;
        for (const SimulatedRequest& request : channel_->Requests()) count += request.kind == kSimTransaction;
        return count;
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
    bool ran = false;
    duringRead = [&] {
        ran = true;
        reader_.Tick(variables.Get());
        const ULONG changed = Access(kCalibrationFactorId) | kAccessDiffers;
        Access(kCalibrationFactorId, &changed);
    };
    ::SetTimer(nullptr, 0, 0, RunDuringRead);
    reader_.Tick(variables.Get());
    ASSERT_TRUE(ran);
    EXPECT_EQ(atStart + 1, Transactions());
    EXPECT_EQ(before | kAccessDiffers, Access(kCalibrationFactorId));
}

}  // namespace
}  // namespace controltest
