// The online page against the registered DTM: commits, stores and loads with the transfer marks in the
// access word (online with the simulated flowmeter, and offline), and the notifications of transfers.
#include <windows.h>

#include "SyncTestPage.h"
#include "classlib/Variant.h"
#include "dataset/VariableFields.h"
#include "tests/support/TestVariants.h"

namespace controltest {
namespace {

class OnlinePageTest : public SyncTest {
protected:
    void OpenOnline() {
        ASSERT_NO_FATAL_FAILURE(GoOnline());
        ASSERT_NO_FATAL_FAILURE(OpenPage());
        EXPECT_HR(S_OK, page_->SetOnline(kPageOnline));
        page_->heard.clear();
    }
    size_t Heard(ULONG code, ULONG withBits) const {
        size_t count = 0;
        for (const auto& h : page_->heard) count += h.code == code && (h.access & withBits) == withBits;
        return count;
    }
};

// The device's answers (0x2800, 0x2801) to a load and a commit are heard under the online mark, which is
// gone afterwards with the modified bit; the control shows the device's value, the dataset keeps its own.
TEST_F(OnlinePageTest, OnlineLoadAndCommitMarkTheTransfer) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline());
    const ULONG before = Access(kCalibrationFactorId);
    const std::wstring datasetBefore = DatasetText(kCalibrationFactorId);
    EXPECT_HR(S_OK, page_->LoadParameter(kCalibrationFactorId));
    EXPECT_LE(1u, Heard(kNotifyDeviceValue, kAccessOnlineTransferMark));
    EXPECT_EQ(before, page_->Row(0).state);           // the word from before the read
    EXPECT_HR(E_FAIL, page_->LoadParameter(kTagId));  // not a device record: nothing read
    page_->heard.clear();
    ::SetWindowTextW(Item(kTagEdit), L"2.5");
    EXPECT_HR(S_OK, page_->CommitParameter(kCalibrationFactorId));
    EXPECT_EQ(Heard(kNotifyDeviceValue, 0), Heard(kNotifyDeviceValue, kAccessOnlineTransferMark));
    EXPECT_LE(1u, Heard(kNotifyDeviceValue, kAccessOnlineTransferMark));
    EXPECT_LE(1u, Heard(kNotifyDeviceWritten, kAccessOnlineTransferMark));
    EXPECT_EQ(before & ~(kAccessOnlineTransferMark | kAccessDiffers), Access(kCalibrationFactorId));
    EXPECT_EQ(datasetBefore, DatasetText(kCalibrationFactorId));
    EXPECT_EQ(L"2.5", WindowText(Item(kTagEdit)));
}

// Online, a store only announces the value under the online mark; offline it stores. No mark survives the
// store, not even one someone else left.
TEST_F(OnlinePageTest, StoringMarksByTheOnlineFlag) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline());
    const ULONG before = Access(kTagId);
    const std::wstring datasetBefore = DatasetText(kTagId);
    const ULONG leftOver = before | kAccessOfflineStoreMark;
    Access(kTagId, &leftOver);
    page_->watchedId = kTagId;
    ::SetWindowTextW(Item(kUnitCombo), L"Boiler 9");
    EXPECT_HR(S_OK, page_->StoreControlValue(kTagId));
    EXPECT_EQ(1u, Heard(kNotifyDeviceValue, kAccessOnlineTransferMark));
    EXPECT_EQ(datasetBefore, DatasetText(kTagId));
    EXPECT_EQ(before, Access(kTagId));

    EXPECT_HR(S_OK, page_->SetOnline(0));
    EXPECT_HR(S_OK, page_->StoreControlValue(kTagId));
    EXPECT_EQ(L"Boiler 9", DatasetText(kTagId));
    EXPECT_EQ(before, Access(kTagId));
}

TEST_F(OnlinePageTest, FailedDeviceWriteIsReportedWithoutTheMark) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline());
    const ULONG before = Access(kCalibrationFactorId);
    ::SetWindowTextW(Item(kTagEdit), L"3.5");
    channel_->AddFault({ChannelFault::Fail, kSimTransaction});
    const HRESULT hr = page_->CommitParameter(kCalibrationFactorId);
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_EQ(before & ~kAccessDiffers, Access(kCalibrationFactorId));
}

// Offline, a value the dataset refuses is returned as its failure and leaves neither a mark nor the
// modified bit behind.
TEST_F(OnlinePageTest, OfflineCommitThatTheDatasetRefusesIsNotModified) {
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    const ULONG before = Access(kCalibrationFactorId);
    page_->forcedValue.AttachBstr(::SysAllocString(L"not a number"));
    const HRESULT hr = page_->CommitParameter(kCalibrationFactorId);
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_EQ(before, Access(kCalibrationFactorId));
    EXPECT_EQ(0u, page_->Row(0).state & kRowModified);
}

// A read under someone else's mark (the window's start-up upload, a cyclic read) that finds the dataset's
// value announces it while the mark stands, so the rows take the marked word; the end of the transfer
// takes the mark off them again.
TEST_F(OnlinePageTest, AFinishedTransferTakesItsMarkOffTheRows) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline());
    VARIANT_BOOL done = VARIANT_FALSE;
    ASSERT_HR(S_OK, Store()->ReadFromDevice(kCalibrationFactorId, &done));  // the device's value, stored
    const ULONG before = Access(kCalibrationFactorId);
    const ULONG marked = before | kAccessOnlineTransferMark;
    Access(kCalibrationFactorId, &marked);
    page_->heard.clear();
    ASSERT_HR(S_OK, Store()->ReadFromDevice(kCalibrationFactorId, &done));
    Access(kCalibrationFactorId, &before);
    EXPECT_LE(1u, Heard(kNotifyValueChanged, kAccessOnlineTransferMark)) << "the unchanged value, marked";
    EXPECT_EQ(0u, page_->Row(0).state & (kAccessOnlineTransferMark | kAccessOfflineStoreMark));
    EXPECT_EQ(before & 0xFF, page_->Row(0).state & 0xFF);
}

// Online: the page's own offline store, heard back, does not overwrite what the page shows; a written
// parameter loses the modified bit on every row.
TEST_F(OnlinePageTest, NotificationsOfTransfers) {
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    EXPECT_HR(S_OK, page_->SetOnline(kPageOnline));
    const auto pair = [](const ql::Variant& value) {
        return MakeArray<VARIANT>(VT_VARIANT, {*MakeUI4(kCalibrationFactorId), *value});
    };
    ql::Variant nine;
    nine.SetR4(9.0f);
    EXPECT_HR(S_OK, page_->OnNotify(kNotifyDeviceValue, *pair(nine)));
    EXPECT_EQ(L"9", WindowText(Item(kTagEdit)));
    const ULONG marked = Access(kCalibrationFactorId) | kAccessOfflineStoreMark;
    Access(kCalibrationFactorId, &marked);
    EXPECT_HR(S_OK, page_->OnNotify(kNotifyValueChanged, *pair(MakeI4(0))));
    EXPECT_EQ(L"9", WindowText(Item(kTagEdit)));
    const ULONG unmarked = marked & ~kAccessOfflineStoreMark;
    Access(kCalibrationFactorId, &unmarked);
    EXPECT_HR(S_OK, page_->OnNotify(kNotifyValueChanged, *pair(MakeI4(0))));
    EXPECT_EQ(L"1", WindowText(Item(kTagEdit)));

    ASSERT_HR(S_OK, page_->SetStateById(kStationAddressId, 0x73));
    EXPECT_HR(S_OK, page_->OnNotify(kNotifyDeviceWritten, *MakeI4(kStationAddressId)));
    EXPECT_EQ(0x71u, page_->Row(3).state);
    EXPECT_EQ(0x71u, page_->Row(4).state);
}

}  // namespace
}  // namespace controltest
