// The mass flow page against the registered DTM offline: the duct that follows the diameter and back, and
// the sizes that follow the flow unit between mm and inch, both driven through the page's combo boxes.
#include "tests/ui/pages/BlockPageFixture.h"
#include "ui/pages/PageResources.h"

namespace {

constexpr ULONG kDiameter = 44, kSizeUnit = 45, kFlowUnit = 47, kShape = 50, kWidth = 51, kLength = 52;

class MassFlowPageTest : public pagetest::BlockPageFixture {};

TEST_F(MassFlowPageTest, DuctFollowsTheDiameterAndBack) {
    ASSERT_NO_FATAL_FAILURE(StoreFloat(kDiameter, 100.0f));
    ASSERT_NO_FATAL_FAILURE(StoreUnit(kShape, 0));
    ASSERT_NO_FATAL_FAILURE(OpenPage(CLSID_P4_TBMassFlow));
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_MF_DIAMETER)));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_MF_DUCT_WIDTH)));

    ASSERT_NO_FATAL_FAILURE(PickAndEnter(IDC_MF_TUBE_SHAPE, L"Rectangular Duct"));
    EXPECT_FLOAT_EQ(88.62266f, StoredFloat(kWidth));
    EXPECT_FLOAT_EQ(88.62266f, StoredFloat(kLength));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_MF_DIAMETER)));
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_MF_DUCT_WIDTH)) && ::IsWindowEnabled(Item(IDC_MF_DUCT_LENGTH)));

    ASSERT_NO_FATAL_FAILURE(PickAndEnter(IDC_MF_TUBE_SHAPE, L"Circular Pipe"));
    EXPECT_EQ(100.0f, StoredFloat(kDiameter));
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_MF_DIAMETER)));
}

// An imperial flow unit while the sizes are in mm turns them into inches (exactly / 25.4), and the way
// back to a metric unit restores the stored sizes exactly.
TEST_F(MassFlowPageTest, SizesFollowTheFlowUnitSystem) {
    const float diameter = 100.0f, side = 88.62266f;
    ASSERT_NO_FATAL_FAILURE(StoreUnit(kFlowUnit, 1324));
    ASSERT_NO_FATAL_FAILURE(StoreUnit(kSizeUnit, 1013));
    ASSERT_NO_FATAL_FAILURE(StoreFloat(kDiameter, diameter));
    ASSERT_NO_FATAL_FAILURE(StoreFloat(kWidth, side));
    ASSERT_NO_FATAL_FAILURE(StoreFloat(kLength, side));
    ASSERT_NO_FATAL_FAILURE(OpenPage(CLSID_P4_TBMassFlow));

    ASSERT_NO_FATAL_FAILURE(PickAndEnter(IDC_MF_FLOW_UNIT, L"lb/h"));
    EXPECT_EQ(1332u, StoredUnit(kFlowUnit));
    EXPECT_EQ(1019u, StoredUnit(kSizeUnit));
    EXPECT_FLOAT_EQ(static_cast<float>(diameter / 25.4), StoredFloat(kDiameter));
    EXPECT_FLOAT_EQ(static_cast<float>(side / 25.4), StoredFloat(kWidth));
    EXPECT_FLOAT_EQ(static_cast<float>(side / 25.4), StoredFloat(kLength));

    ASSERT_NO_FATAL_FAILURE(PickAndEnter(IDC_MF_FLOW_UNIT, L"kg/h"));
    EXPECT_EQ(1013u, StoredUnit(kSizeUnit));
    EXPECT_EQ(diameter, StoredFloat(kDiameter));
    EXPECT_EQ(side, StoredFloat(kWidth));
    EXPECT_EQ(side, StoredFloat(kLength));
}

}  // namespace
