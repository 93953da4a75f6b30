// Rows in step with the DTM on a real dialog: states after loading, markers while the user types, the
// DTM's lock, the focus on an invalid row and Apply. The page runs offline against the registered DTM.
#include <windows.h>

#include "SyncTestPage.h"
#include "classlib/Variant.h"
#include "dataset/VariableFields.h"
#include "tests/support/TestVariants.h"

namespace controltest {
namespace {

constexpr DWORD kDirtyStatus = PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE;

using RowSyncTest = SyncTest;

// A read-only record leaves an edit enabled for reading and disables any other control; a record that
// becomes writable enables it again.
TEST_F(RowSyncTest, ReadOnlyRecordsMakeEditsReadOnlyAndDisableOthers) {
    constexpr ULONG kHardwareRevisionId = 24, kSoftwareRevisionId = 23;  // read-only texts
    static const ParameterMap map{
        {kHardwareRevisionId, "HardwareRevision", 0, kTagEdit, "%s", 0x71, 0},
        {kSoftwareRevisionId, "SoftwareRevision", 0, kUnitCombo, "%s", 0x71, 0},
    };
    ASSERT_NO_FATAL_FAILURE(OpenPage(map));
    EXPECT_TRUE(::IsWindowEnabled(Item(kTagEdit)) && IsReadOnly(kTagEdit));
    EXPECT_FALSE(::IsWindowEnabled(Item(kUnitCombo)));
    const ULONG writable = 0x71;
    Access(kSoftwareRevisionId, &writable);
    EXPECT_HR(S_OK, page_->RefreshControl(kSoftwareRevisionId));
    EXPECT_TRUE(::IsWindowEnabled(Item(kUnitCombo)));
}

// A row that does not load ends writable and invalid, flagged not loaded, out of the focus search and
// uncommitted; the page does not stay loading.
TEST_F(RowSyncTest, RowThatDoesNotLoadEndsInvalidAndNotLoaded) {
    ASSERT_NO_FATAL_FAILURE(OpenPage(MapWithUnknownParameter()));
    EXPECT_EQ(0x0Du, page_->Row(1).state & 0x0F);
    EXPECT_HR(S_OK, page_->FocusFirstInvalidControl());
    EXPECT_HR(S_FALSE, page_->CommitParameter(page_->Row(1).id));
    EXPECT_FALSE(page_->IsLoading());
}

// Each keystroke (and click) is checked, and every row of the parameter follows.
TEST_F(RowSyncTest, TypingMarksTheRowsOfTheParameter) {
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    const UINT addressRow = 3, buttonRow = 4;
    const struct {
        const wchar_t* text;
        ULONG lowBits;
        const wchar_t* marker;
    } cases[] = {
        {L"abc", 5, L"!"},  // no number: invalid without the DTM's check
        {L"127", 7, L"!"},  // beyond the station address range
        {L"12", 3, L"*"},
        {L"0", 1, L""},  // the dataset's own value again
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.text, c.text + wcslen(c.text)));
        ::SetWindowTextW(Item(kAddressEdit), c.text);  // sends EN_CHANGE
        EXPECT_EQ(c.lowBits, page_->Row(addressRow).state & 7);
        EXPECT_EQ(c.lowBits, page_->Row(buttonRow).state & 7);
        EXPECT_EQ(c.marker, WindowText(page_->Row(addressRow).markerWindow));
    }
    ::SendMessageW(Item(kLockCheck), BM_CLICK, 0, 0);
    EXPECT_EQ(3u, page_->Row(2).state & 7);
}

// The DTM's lock leaves nothing editable, holds against a refresh that arrives while it stands, and the
// unlock restores exactly what was editable before it.
TEST_F(RowSyncTest, LockHoldsUntilTheUnlockAndRestoresWhatWasEditable) {
    const ULONG readOnly = 0x70;
    Access(kZeroPointAdjustId, &readOnly);
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    const auto expectEditable = [this](bool editable) {
        EXPECT_EQ(!editable, IsReadOnly(kTagEdit));
        EXPECT_EQ(!editable, IsReadOnly(kAddressEdit));
        EXPECT_EQ(editable, !!::IsWindowEnabled(Item(kUnitCombo)));
        EXPECT_EQ(editable, !!::IsWindowEnabled(Item(kTestButton)));
        EXPECT_FALSE(::IsWindowEnabled(Item(kLockCheck)));  // read-only before the lock
    };
    ql::Variant lock;
    lock.SetBool(true);
    EXPECT_HR(S_OK, page_->OnNotify(kNotifyDataLock, *lock));
    expectEditable(false);
    ASSERT_HR(S_OK, Store()->SetValue(kTagId, *MakeBstr(L"Boiler 7")));  // 0x2702 refreshes the combo box
    EXPECT_EQ(L"Boiler 7", WindowText(Item(kUnitCombo)));
    expectEditable(false);
    EXPECT_HR(S_FALSE, page_->CommitParameter(kTagId));

    EXPECT_HR(S_OK, page_->OnNotify(kNotifyDataLock, *MakeI4(1)));
    expectEditable(true);
}

// Apply with an invalid row puts the focus on it and commits nothing, not even rows modified before it;
// then it commits each modified row once, marks the page clean and tells its site; a failed commit keeps
// the page dirty and is returned.
TEST_F(RowSyncTest, ApplyCommitsAllOrNothingAndStaysDirtyOnFailure) {
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    const ULONG before = Access(kCalibrationFactorId);
    ::SetWindowTextW(Item(kTagEdit), L"2.5");
    ::SetWindowTextW(Item(kAddressEdit), L"127");
    page_->SetDirty(TRUE);
    EXPECT_HR(E_FAIL, page_->ApplyModifiedRows());
    EXPECT_EQ(Item(kAddressEdit), ::GetFocus());
    EXPECT_TRUE(page_->commits.empty());
    EXPECT_EQ(L"1", DatasetText(kCalibrationFactorId));

    ::SetWindowTextW(Item(kAddressEdit), L"12");
    EXPECT_HR(S_OK, page_->ApplyModifiedRows());
    // The offline commit leaves the record modified (not yet in the device), so the second row of the
    // station address is committed too.
    EXPECT_EQ((std::vector<ULONG>{kCalibrationFactorId, kStationAddressId, kStationAddressId}),
              page_->commits);
    EXPECT_EQ((std::vector<DWORD>{kDirtyStatus, 0}), page_->statuses);  // one dirty report, then clean
    EXPECT_EQ(L"2.5", DatasetText(kCalibrationFactorId));
    EXPECT_EQ((before & ~kAccessOfflineStoreMark) | kAccessDiffers, Access(kCalibrationFactorId));

    page_->failCommitId = kStationAddressId;
    page_->SetDirty(TRUE);
    EXPECT_HR(E_ABORT, page_->ApplyModifiedRows());
    EXPECT_EQ(kDirtyStatus, page_->statuses.back());
}

// A hosted child that takes the focus request without answering counts as holding the invalid value; a
// row whose control id has no dialog item gets no marker.
TEST_F(RowSyncTest, UnansweredFocusRequestCountsAsInvalidAndMarkersNeedADialogItem) {
    static const ParameterMap map{
        {kTagId, "Tag", 0, kTagEdit, "%s", 0x71, 0},
        {kStationAddressId, "Station Address", 0, 999, "%u", 0x71, 0, nullptr, nullptr, 1},
    };
    ASSERT_NO_FATAL_FAILURE(OpenPage(map));
    EXPECT_EQ(nullptr, page_->Row(1).markerWindow);
    ChildControl child;
    ASSERT_TRUE(
        ::SetWindowSubclass(Item(kTagEdit), ChildControl::HostProc, 1, reinterpret_cast<DWORD_PTR>(&child)));
    ASSERT_HR(S_OK, page_->SetRowState(0, 0x75));
    EXPECT_HR(E_FAIL, page_->FocusFirstInvalidControl());
    ::RemoveWindowSubclass(Item(kTagEdit), ChildControl::HostProc, 1);
    EXPECT_EQ(1u, child.refs);
}

}  // namespace
}  // namespace controltest
