// The property-page layer: the base's SetDirty reaches the page's dirty flag, and Apply commits exactly the
// modified rows through the overridable commit slot; a row that fails keeps the page modified.
#include <windows.h>

#include <vector>

#include "ControlTestSupport.h"
#include "controls/base/QuelkPropertyPageImpl.h"
#include "controls/sync/QuelkOnlinePage.h"

namespace controltest {
namespace {

class CTestLayerPage final : public ql::ComObjectBase<CTestLayerPage>, public CQuelkPropertyPageImpl<> {
    QL_INTERFACE_TABLE(CTestLayerPage, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CQuelkPropertyPageImpl<>))

public:
    CTestLayerPage() noexcept : CQuelkPropertyPageImpl(500, 1, GUID_NULL, TestPageMap()) {}
    HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }

    std::vector<ULONG> committed;
    ULONG failingId = 0;
    HRESULT CommitParameter(ULONG id) noexcept override {
        committed.push_back(id);
        return id == failingId ? E_FAIL : S_OK;
    }
};

// The twelve online pages put the layer on the online page.
class COnlineLayerPage final : public ql::ComObjectBase<COnlineLayerPage>,
                               public CQuelkPropertyPageImpl<CQuelkOnlinePage> {
    QL_INTERFACE_TABLE(COnlineLayerPage, QL_ENTRY(IQuelkControl),
                       QL_ENTRY_CHAIN(CQuelkPropertyPageImpl<CQuelkOnlinePage>))

public:
    COnlineLayerPage() noexcept : CQuelkPropertyPageImpl(500, 1, GUID_NULL, TestPageMap()) {}
    HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }
};

TEST(PropertyPageLayerTest, OnlinePagesAnswerThePageAndItsMode) {
    ql::ComApartment apartment;
    ql::ComPtr<IPropertyPage> page;
    ASSERT_HR(S_OK, ql::CreateInstance<COnlineLayerPage>(nullptr, IID_IPropertyPage, page.PutVoid()));
    ql::ComPtr<IQuelkPageMode> mode;
    EXPECT_HR(S_OK, ql::QueryInterfaceTo(page.Get(), mode));
}

TEST(PropertyPageLayerTest, ApplyCommitsTheModifiedRowsThroughTheSlot) {
    ql::ComApartment apartment;
    ql::ComPtr<CTestLayerPage> page;
    ASSERT_HR(S_OK, ql::MakeObject(page));
    page->SetDirty(TRUE);
    EXPECT_HR(S_OK, page->IsPageDirty());
    page->Row(0).state |= kRowModified;
    page->Row(2).state |= kRowModified;

    page->failingId = kTagId;
    EXPECT_HR(E_FAIL, page->Apply());
    EXPECT_EQ((std::vector<ULONG>{kTagId, kCalibrationFactorId}), page->committed);
    EXPECT_HR(S_OK, page->IsPageDirty());  // one row did not go through: Apply can be tried again

    page->failingId = 0;
    page->committed.clear();
    EXPECT_HR(S_OK, page->Apply());
    EXPECT_HR(S_FALSE, page->IsPageDirty());
}

}  // namespace
}  // namespace controltest
