// The maker extension page hosted as the parameterization window hosts it, offline against the registered
// DTM: the unit labels follow the unit that applies, and Enter on a maker unit of the other measuring
// system converts the pipe dimensions between mm and inch.
#include <windows.h>

#include <string>

#include "BlockPageFixture.h"
#include "VarnokP3.h"
#include "classlib/SafeArray.h"
#include "ui/pages/PageResources.h"

namespace {

using pagetest::WindowText;

constexpr ULONG kSizeUnit = 45, kDiameter = 44, kWidth = 51, kLength = 52, kMakerUnit = 56;

class ExtraPageTest : public pagetest::BlockPageFixture {
protected:
    void OpenPage() { BlockPageFixture::OpenPage(CLSID_TBExtra); }
    // A person presses Enter in the maker unit's box.
    void EnterInMakerUnit() {
        const HWND box = ::GetDlgItem(dialog_, IDC_TBX_MAKER_UNIT);
        ::SetFocus(box);
        MSG key{box, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
        (void)page_.Page()->TranslateAccelerator(&key);
    }
    // The maker unit as the page's box shows it, changed in the dataset and shown again.
    void ShowMakerUnit(USHORT unit) {
        ASSERT_NO_FATAL_FAILURE(StoreUnit(kMakerUnit, unit));
        ql::Variant value;
        value.Put()->vt = VT_UI2;
        V_UI2(value.Get()) = unit;
        ql::SafeArray pair;
        ASSERT_HR(S_OK, pair.Create(VT_VARIANT, 2));
        ql::Variant id;
        id.SetUI4(kMakerUnit);
        LONG index = 0;
        ASSERT_HR(S_OK, ::SafeArrayPutElement(pair.Get(), &index, id.Get()));
        index = 1;
        ASSERT_HR(S_OK, ::SafeArrayPutElement(pair.Get(), &index, value.Get()));
        ql::Variant payload;
        payload.AttachArray(VT_VARIANT, pair.Detach());
        ASSERT_HR(S_OK, control_->OnNotify(0x2702, *payload));
    }
};

TEST_F(ExtraPageTest, LabelsNameTheUnitThatApplies) {
    ASSERT_NO_FATAL_FAILURE(StoreUnit(kMakerUnit, 2000));
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    const std::wstring profile = WindowText(::GetDlgItem(dialog_, IDC_TBX_FLOW_UNIT));
    for (int label : {IDC_TBX_UPPER_UNIT, IDC_TBX_LOWER_UNIT, IDC_TBX_RANGE_UNIT}) {
        EXPECT_EQ(L"Profile Unit: " + profile.substr(0, 19), WindowText(::GetDlgItem(dialog_, label)));
    }
    ASSERT_NO_FATAL_FAILURE(ShowMakerUnit(1360));
    const std::wstring maker = WindowText(::GetDlgItem(dialog_, IDC_TBX_MAKER_UNIT));
    EXPECT_FALSE(maker.empty());
    EXPECT_EQ(L"Manufacturer Unit: " + maker.substr(0, 19),
              WindowText(::GetDlgItem(dialog_, IDC_TBX_LOWER_UNIT)));
}

TEST_F(ExtraPageTest, MakerUnitOfTheOtherSystemConvertsThePipeExactlyBothWays) {
    ASSERT_NO_FATAL_FAILURE(StoreUnit(kSizeUnit, 1013));
    ASSERT_NO_FATAL_FAILURE(StoreFloat(kDiameter, 100.0f));
    ASSERT_NO_FATAL_FAILURE(StoreFloat(kWidth, 88.62266f));
    ASSERT_NO_FATAL_FAILURE(StoreFloat(kLength, 50.0f));
    ASSERT_NO_FATAL_FAILURE(StoreUnit(kMakerUnit, 1360));  // SCFM
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    EnterInMakerUnit();
    EXPECT_EQ(1019u, StoredUnit(kSizeUnit));
    EXPECT_FLOAT_EQ(static_cast<float>(100.0 / 25.4), StoredFloat(kDiameter));
    EXPECT_FLOAT_EQ(static_cast<float>(50.0 / 25.4), StoredFloat(kLength));

    ASSERT_NO_FATAL_FAILURE(ShowMakerUnit(1521));  // NCMH
    EnterInMakerUnit();
    EXPECT_EQ(1013u, StoredUnit(kSizeUnit));
    EXPECT_FLOAT_EQ(100.0f, StoredFloat(kDiameter));
    EXPECT_FLOAT_EQ(88.62266f, StoredFloat(kWidth));

    // A maker unit of the same system changes nothing.
    ASSERT_NO_FATAL_FAILURE(ShowMakerUnit(1522));
    EnterInMakerUnit();
    EXPECT_EQ(1013u, StoredUnit(kSizeUnit));
    EXPECT_FLOAT_EQ(100.0f, StoredFloat(kDiameter));
}

// 500 inch of duct are 12700 mm, beyond the width's 9999: no size is converted and the unit stays, rather
// than the dataset holding a width its own value check rejects.
TEST_F(ExtraPageTest, SizesThatWouldLeaveTheirRangeAreNoneOfThemConverted) {
    ASSERT_NO_FATAL_FAILURE(StoreUnit(kSizeUnit, 1019));
    ASSERT_NO_FATAL_FAILURE(StoreFloat(kDiameter, 4.0f));
    ASSERT_NO_FATAL_FAILURE(StoreFloat(kWidth, 500.0f));
    ASSERT_NO_FATAL_FAILURE(StoreFloat(kLength, 50.0f));
    ASSERT_NO_FATAL_FAILURE(StoreUnit(kMakerUnit, 1360));  // SCFM
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    ASSERT_NO_FATAL_FAILURE(ShowMakerUnit(1521));  // NCMH
    EnterInMakerUnit();
    EXPECT_EQ(1019u, StoredUnit(kSizeUnit));
    EXPECT_FLOAT_EQ(4.0f, StoredFloat(kDiameter));
    EXPECT_FLOAT_EQ(500.0f, StoredFloat(kWidth));
    EXPECT_FLOAT_EQ(50.0f, StoredFloat(kLength));
}

}  // namespace
