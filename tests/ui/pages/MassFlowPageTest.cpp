// The mass flow page against the registered DTM: the duct that follows the diameter and back, and the sizes
// that follow the flow unit between mm and inch, both driven through the page's combo boxes offline; a
// diameter or a flow unit whose sizes would leave their range, offline and online.
#include <string>

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

// 0.2 mm of duct width are less than the width's minimum of 0.1 in inches: the flow unit is refused as a
// whole, since showing it would already switch the size unit, and the box shows the dataset's unit again.
TEST_F(MassFlowPageTest, AFlowUnitWhoseSizesWouldLeaveTheirRangeIsRefused) {
    ASSERT_NO_FATAL_FAILURE(StoreUnit(kFlowUnit, 1324));
    ASSERT_NO_FATAL_FAILURE(StoreUnit(kSizeUnit, 1013));
    ASSERT_NO_FATAL_FAILURE(StoreFloat(kDiameter, 100.0f));
    ASSERT_NO_FATAL_FAILURE(StoreFloat(kWidth, 0.2f));
    ASSERT_NO_FATAL_FAILURE(StoreFloat(kLength, 50.0f));
    ASSERT_NO_FATAL_FAILURE(OpenPage(CLSID_P4_TBMassFlow));
    const std::wstring shown = Text(IDC_MF_FLOW_UNIT);
    ASSERT_NO_FATAL_FAILURE(PickAndEnter(IDC_MF_FLOW_UNIT, L"lb/h"));
    EXPECT_TRUE(LastMessageHas(L"The pipe dimensions that follow from this value are out of range!"))
        << LastUserMessage();
    EXPECT_EQ(1324u, StoredUnit(kFlowUnit));
    EXPECT_EQ(1013u, StoredUnit(kSizeUnit));
    EXPECT_EQ(100.0f, StoredFloat(kDiameter));
    EXPECT_EQ(0.2f, StoredFloat(kWidth));
    EXPECT_EQ(50.0f, StoredFloat(kLength));
    EXPECT_EQ(shown, Text(IDC_MF_FLOW_UNIT));
}

struct RefusedDiameter {
    const char* name;
    const wchar_t* typed;
    bool online;
};

class DuctOutOfRange : public MassFlowPageTest, public ::testing::WithParamInterface<RefusedDiameter> {};

// The diameter's equal-area duct must fit the width's and length's 0.1..9999: a diameter whose duct does not
// is refused, written nowhere, and the field shows the dataset's value again.
TEST_P(DuctOutOfRange, RefusesTheDiameter) {
    if (GetParam().online) {
        ASSERT_NO_FATAL_FAILURE(GoOnline());
    }
    ASSERT_NO_FATAL_FAILURE(OpenPage(CLSID_P4_TBMassFlow));
    if (GetParam().online) {
        ASSERT_NO_FATAL_FAILURE(SetOnline());
    }
    const float sizes[] = {StoredFloat(kDiameter), StoredFloat(kWidth), StoredFloat(kLength)};
    const std::wstring shown = Text(IDC_MF_DIAMETER);
    const int writes = channel_ ? channel_->Device().WriteCount() : 0;
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_MF_DIAMETER, GetParam().typed));
    EXPECT_TRUE(LastMessageHas(L"The pipe dimensions that follow from this value are out of range!"))
        << LastUserMessage();
    EXPECT_EQ(sizes[0], StoredFloat(kDiameter));
    EXPECT_EQ(sizes[1], StoredFloat(kWidth));
    EXPECT_EQ(sizes[2], StoredFloat(kLength));
    EXPECT_EQ(shown, Text(IDC_MF_DIAMETER));
    if (channel_) {
        EXPECT_EQ(writes, channel_->Device().WriteCount());
    }
}

// 20000 gives a duct of 17724.53, 0.0394 one of 0.0349.
const RefusedDiameter kRefusedDiameters[] = {
    {"TooLargeOffline", L"20000", false},
    {"TooSmallOffline", L"0.0394", false},
    {"TooLargeOnline", L"20000", true},
};

INSTANTIATE_TEST_SUITE_P(MassFlowPage, DuctOutOfRange, ::testing::ValuesIn(kRefusedDiameters),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
