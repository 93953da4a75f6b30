#include "SyncTestPage.h"

#include "classlib/Variant.h"

namespace controltest {

const ParameterMap& SyncMap() {
    static const ParameterMap map{
        {kCalibrationFactorId, "CalibrationFactor", 0, kTagEdit, "%g", 0x71, 0, nullptr, nullptr, 1},
        {kTagId, "Tag", 0, kUnitCombo, "%s", 0x71, 0, nullptr, nullptr, 1},
        {kZeroPointAdjustId, "ZeroPointAdjust", 0, kLockCheck, "%u", 0x71, 0},
        {kStationAddressId, "Station Address", 0, kAddressEdit, "%u", 0x71, 0, nullptr, nullptr, 1},
        {kStationAddressId, "Station Address", 0, kTestButton, "%u", 0x71, 0},
    };
    return map;
}

HRESULT CSyncPage::OnNotify(ULONG code, VARIANT data) noexcept {
    ULONG access = 0;
    (void)GetParameterState(watchedId, &access);
    heard.push_back({code, access});
    return CQuelkOnlinePage::OnNotify(code, data);
}

HRESULT CSyncPage::CommitParameter(ULONG id) noexcept {
    commits.push_back(id);
    if (id == failCommitId) return E_ABORT;
    return CQuelkOnlinePage::CommitParameter(id);
}

HRESULT CSyncPage::ReadParameterDisplayByID(ULONG id, VARIANT* value) noexcept {
    if (forcedValue.Type() == VT_EMPTY) return CQuelkOnlinePage::ReadParameterDisplayByID(id, value);
    return forcedValue.CopyTo(value);
}

HRESULT CSyncPage::ValidateParameter(ULONG id, VARIANT_BOOL* valid) noexcept {
    if (forcedValue.Type() == VT_EMPTY || !valid) return CQuelkOnlinePage::ValidateParameter(id, valid);
    *valid = VARIANT_TRUE;
    return S_OK;
}

void SyncTest::TearDown() {
    if (functions_) {
        EXPECT_HR(S_OK, functions_->ActiveXControlEvent(invokeId_.Get(), nullptr));
    }
    functions_.Reset();
    dialog_.Reset();
    page_.Reset();
    DtmFixture::TearDown();
}

void SyncTest::OpenPage(const ParameterMap& map) {
    ASSERT_HR(S_OK, ql::MakeObject(page_, map));
    dialog_ = CreateTestDialog(*page_.Get());
    ASSERT_TRUE(dialog_);
    ASSERT_NE(nullptr, Item(kUnitCombo));
    ::ShowWindow(dialog_.Get(), SW_SHOWNA);
    ASSERT_HR(S_OK, session_.Object()->QueryInterface(IID_IQuelkFunctions, functions_.PutVoid()));
    ASSERT_HR(S_OK,
              functions_->ActiveXControlEvent(invokeId_.Get(), static_cast<IQuelkControl*>(page_.Get())));
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_HR(S_OK, page_->Init(session_.Object(), &ok));
    ASSERT_EQ(VARIANT_TRUE, ok);
}

std::wstring SyncTest::DatasetText(ULONG id) {
    ql::Variant value;
    EXPECT_HR(S_OK, store_->GetValue(id, value.Get()));
    EXPECT_HR(S_OK, value.ChangeType(VT_BSTR));
    return value.Type() == VT_BSTR ? std::wstring(V_BSTR(value.Get())) : L"";
}

}  // namespace controltest
