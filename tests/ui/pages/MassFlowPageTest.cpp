// The mass flow page against the registered DTM: the duct that follows the diameter and back, and the sizes
// that follow the flow unit between mm and inch, both driven through the page's combo boxes offline; a
// diameter or a flow unit whose sizes would leave their range, offline and online.
#include <ostream>
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

struct SizesOutOfRange {
    const char* name;
    int control;
    const wchar_t* text;  // typed, or picked in the flow unit's list
    bool online;
};

void PrintTo(const SizesOutOfRange& c, std::ostream* out) { *out << c.name; }

class SizesOutOfRangeTest : public MassFlowPageTest, public ::testing::WithParamInterface<SizesOutOfRange> {};

// A diameter whose equal-area duct, or a flow unit whose sizes in the other unit, would leave the width's and
// length's 0.1..9999 is refused as a whole (showing a new flow unit would already switch the size unit): it
// is written nowhere, and the field shows the dataset's value again.
TEST_P(SizesOutOfRangeTest, RefusesTheValue) {
    const SizesOutOfRange& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(StoreUnit(kFlowUnit, 1324));
    ASSERT_NO_FATAL_FAILURE(StoreUnit(kSizeUnit, 1013));
    ASSERT_NO_FATAL_FAILURE(StoreFloat(kDiameter, 100.0f));
    ASSERT_NO_FATAL_FAILURE(StoreFloat(kWidth, 0.2f));
    ASSERT_NO_FATAL_FAILURE(StoreFloat(kLength, 50.0f));
    if (c.online) {
        ASSERT_NO_FATAL_FAILURE(GoOnline());
    }
    ASSERT_NO_FATAL_FAILURE(OpenPage(CLSID_P4_TBMassFlow));
    if (c.online) {
        ASSERT_NO_FATAL_FAILURE(SetOnline());
    }
    const std::wstring shown = Text(c.control);
    const int writes = c.online ? channel_->Device().WriteCount() : 0;
    if (c.control == IDC_MF_FLOW_UNIT) {
        ASSERT_NO_FATAL_FAILURE(PickAndEnter(c.control, c.text));
    } else {
        ASSERT_NO_FATAL_FAILURE(TypeAndEnter(c.control, c.text));
    }
    EXPECT_TRUE(LastMessageHas(L"The pipe dimensions that follow from this value are out of range!"))
        << LastUserMessage();
    EXPECT_EQ(1324u, StoredUnit(kFlowUnit));
    EXPECT_EQ(1013u, StoredUnit(kSizeUnit));
    EXPECT_EQ(100.0f, StoredFloat(kDiameter));
    EXPECT_EQ(0.2f, StoredFloat(kWidth));
    EXPECT_EQ(50.0f, StoredFloat(kLength));
    EXPECT_EQ(shown, Text(c.control));
    if (c.online) {
        EXPECT_EQ(writes, channel_->Device().WriteCount());
    }
}

// A diameter of 20000 gives a duct of 17724.53, 0.0394 one of 0.0349; 0.2 mm are 0.0079 inch.
const SizesOutOfRange kSizesOutOfRange[] = {
    {"LargeDiameterOffline", IDC_MF_DIAMETER, L"20000", false},
    {"SmallDiameterOffline", IDC_MF_DIAMETER, L"0.0394", false},
    {"LargeDiameterOnline", IDC_MF_DIAMETER, L"20000", true},
    {"ImperialFlowUnitOffline", IDC_MF_FLOW_UNIT, L"lb/h", false},
    {"ImperialFlowUnitOnline", IDC_MF_FLOW_UNIT, L"lb/h", true},
};

INSTANTIATE_TEST_SUITE_P(MassFlowPage, SizesOutOfRangeTest, ::testing::ValuesIn(kSizesOutOfRange),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
