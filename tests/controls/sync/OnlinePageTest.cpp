// The online page against the registered DTM: commits and the transfer marks in the access word (online
// with the simulated flowmeter, and offline), the notifications of its own transfers, the handling of a
// field that loses the focus, and the page's services.
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
    }
    size_t Heard(ULONG code, ULONG withBits) const {
        size_t count = 0;
        for (const auto& h : page_->heard) count += h.code == code && (h.access & withBits) == withBits;
        return count;
    }
};

// Online: A, A|0x1000 while the device writes and reads back (its answers heard as 0x2800 and 0x2801),
// then A without the mark and the modified bit; the control shows the device's value, the dataset keeps
// its own.
TEST_F(OnlinePageTest, OnlineCommitMarksTheTransfer) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline());
    const ULONG before = Access(kCalibrationFactorId);
    const std::wstring datasetBefore = DatasetText(kCalibrationFactorId);
    ::SetWindowTextW(Item(kTagEdit), L"2.5");
    page_->heard.clear();
    EXPECT_HR(S_OK, page_->CommitParameter(kCalibrationFactorId));
    EXPECT_EQ(Heard(kNotifyDeviceValue, 0), Heard(kNotifyDeviceValue, kAccessOnlineTransferMark));
    EXPECT_LE(1u, Heard(kNotifyDeviceValue, kAccessOnlineTransferMark));
    EXPECT_LE(1u, Heard(kNotifyDeviceWritten, kAccessOnlineTransferMark));
    EXPECT_EQ(0u, Heard(kNotifyValueChanged, 0));
    EXPECT_EQ(before & ~(kAccessOnlineTransferMark | kAccessDiffers), Access(kCalibrationFactorId));
    EXPECT_EQ(datasetBefore, DatasetText(kCalibrationFactorId));
    EXPECT_EQ(L"2.5", WindowText(Item(kTagEdit)));
    EXPECT_EQ(0u, page_->Row(0).state & (kRowModified | kAccessOnlineTransferMark));
}

// Online, a store only announces the value (0x2800) under the online mark and leaves the dataset alone;
// offline it stores. No mark survives the store, not even one someone else left.
TEST_F(OnlinePageTest, StoringMarksByTheOnlineFlag) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline());
    const ULONG before = Access(kTagId);
    const std::wstring datasetBefore = DatasetText(kTagId);
    const ULONG leftOver = before | kAccessOfflineStoreMark;
    Access(kTagId, &leftOver);
    ::SetWindowTextW(Item(kUnitCombo), L"Boiler 9");
    page_->heard.clear();
    EXPECT_HR(S_OK, page_->StoreControlValue(kTagId));
    EXPECT_EQ(1u, Heard(kNotifyDeviceValue, kAccessOnlineTransferMark));
    EXPECT_EQ(datasetBefore, DatasetText(kTagId));
    EXPECT_EQ(before, Access(kTagId));
    EXPECT_EQ(kAccessOnlineTransferMark,
              page_->Row(1).state & kAccessOnlineTransferMark);  // taken under the mark

    EXPECT_HR(S_OK, page_->SetOnline(0));
    EXPECT_HR(S_OK, page_->StoreControlValue(kTagId));
    EXPECT_EQ(L"Boiler 9", DatasetText(kTagId));
    EXPECT_EQ(before, Access(kTagId));
}

// A device write that fails is reported as that failure, after the mark is gone.
TEST_F(OnlinePageTest, FailedDeviceWriteIsReportedWithoutTheMark) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline());
    const ULONG before = Access(kCalibrationFactorId);
    ::SetWindowTextW(Item(kTagEdit), L"3.5");
    channel_->AddFault({ChannelFault::Fail, kSimTransaction});
    const HRESULT hr = page_->CommitParameter(kCalibrationFactorId);
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_EQ(0u, Access(kCalibrationFactorId) & kAccessOnlineTransferMark);
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

ql::Variant Pair(const ql::Variant& id, const ql::Variant& value) {
    return MakeArray<VARIANT>(VT_VARIANT, {*id, *value});
}

// What an online page does with the notifications of transfers, by code and payload.
TEST_F(OnlinePageTest, NotificationsOfTransfers) {
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    EXPECT_HR(S_OK, page_->OnNotify(kNotifyDeviceValue, *MakeI4(0)));  // offline: not looked at
    EXPECT_HR(S_OK, page_->SetOnline(kPageOnline));

    ql::Variant nine;
    nine.SetR4(9.0f);
    EXPECT_HR(E_FAIL, page_->OnNotify(kNotifyDeviceValue, *Pair(MakeI4(kCalibrationFactorId), nine)));
    EXPECT_HR(S_OK, page_->OnNotify(kNotifyDeviceValue, *Pair(MakeUI4(kCalibrationFactorId), nine)));
    EXPECT_EQ(L"9", WindowText(Item(kTagEdit)));

    // The page's own offline store, heard online, does not overwrite what the page shows.
    const ULONG marked = Access(kCalibrationFactorId) | kAccessOfflineStoreMark;
    Access(kCalibrationFactorId, &marked);
    EXPECT_HR(S_OK, page_->OnNotify(kNotifyValueChanged, *Pair(MakeI4(kCalibrationFactorId), MakeI4(0))));
    EXPECT_EQ(L"9", WindowText(Item(kTagEdit)));
    const ULONG unmarked = marked & ~kAccessOfflineStoreMark;
    Access(kCalibrationFactorId, &unmarked);
    EXPECT_HR(S_OK, page_->OnNotify(kNotifyValueChanged, *Pair(MakeI4(kCalibrationFactorId), MakeI4(0))));
    EXPECT_EQ(L"1", WindowText(Item(kTagEdit)));

    // Written to the device: the modified bit goes from every row of the parameter; an id in another
    // integer type is converted, one that is no number ignored.
    ASSERT_HR(S_OK, page_->SetStateById(kStationAddressId, 0x73));
    EXPECT_HR(S_OK, page_->OnNotify(kNotifyDeviceWritten, *MakeBstr(L"x")));
    EXPECT_EQ(0x73u, page_->Row(4).state);
    EXPECT_HR(S_OK, page_->OnNotify(kNotifyDeviceWritten, *MakeI4(kStationAddressId)));
    EXPECT_EQ(0x71u, page_->Row(3).state);
    EXPECT_EQ(0x71u, page_->Row(4).state);
}

// Leaving a field offline shows the dataset's value again under the offline store mark, which is gone
// afterwards.
TEST_F(OnlinePageTest, LeavingAFieldOfflineShowsTheDatasetValueAgain) {
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    const ULONG before = Access(kStationAddressId);
    ::SetWindowTextW(Item(kAddressEdit), L"12");
    BOOL handled = TRUE;
    EXPECT_HR(S_OK, page_->OnParameterEdited(EN_KILLFOCUS, kAddressEdit, 0, handled));
    EXPECT_TRUE(handled);
    EXPECT_EQ(L"0", WindowText(Item(kAddressEdit)));
    EXPECT_EQ(before, Access(kStationAddressId));
    EXPECT_EQ(kAccessOfflineStoreMark, page_->Row(3).state & kAccessOfflineStoreMark);  // read under the mark

    EXPECT_HR(S_OK, page_->OnParameterEdited(EN_KILLFOCUS, kLogoStatic, 0, handled));
    EXPECT_FALSE(handled);
}

// Online, loading reads the device under the online mark; the rows take the word from before the read.
TEST_F(OnlinePageTest, LoadingOnlineReadsUnderTheMark) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline());
    const ULONG before = Access(kCalibrationFactorId);
    page_->heard.clear();
    EXPECT_HR(S_OK, page_->LoadParameter(kCalibrationFactorId));
    EXPECT_LE(1u, Heard(kNotifyDeviceValue, kAccessOnlineTransferMark));
    EXPECT_EQ(before, Access(kCalibrationFactorId));
    EXPECT_EQ(before, page_->Row(0).state);
    EXPECT_HR(E_FAIL, page_->LoadParameter(kTagId));  // not a device record: nothing read
    EXPECT_HR(S_OK, page_->SetOnline(2));             // any flag but 1 is offline
    EXPECT_HR(S_OK, page_->LoadParameter(kTagId));
}

TEST_F(OnlinePageTest, PageServices) {
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    EXPECT_HR(E_POINTER, page_->IsDtmOffline(nullptr));
    bool offline = false;
    EXPECT_HR(S_OK, page_->IsDtmOffline(&offline));
    EXPECT_TRUE(offline);

    // Before the tree frame gives a frame mode the page tells the DTM offline parameterization.
    VARIANT_BOOL valid = VARIANT_FALSE;
    EXPECT_HR(S_OK, page_->ValidateParameter(kTagId, &valid));
    ql::ComPtr<IDtmObject> dtm;
    ASSERT_HR(S_OK, session_.Object()->QueryInterface(IID_IDtmObject, dtm.PutVoid()));
    LONG function = 0;
    EXPECT_HR(S_OK, dtm->GetActiveFunctionID(&function));
    EXPECT_EQ(static_cast<LONG>(kFrameModeOfflineTree), function);
}

}  // namespace
}  // namespace controltest
