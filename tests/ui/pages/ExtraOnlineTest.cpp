// The maker extension page online to the simulated flowmeter: Enter writes the device, and a maker unit of
// the other measuring system converts the device's diameter and the dataset's duct sizes while the size
// unit stays the device's own.
#include <windows.h>

#include <vector>

#include "VarnokP3.h"
#include "tests/ui/pages/BlockPageFixture.h"
#include "ui/pages/PageResources.h"

namespace {

using pagetest::DeviceFloat;

using Bytes = std::vector<BYTE>;

constexpr ULONG kWidth = 51, kLength = 52;

class ExtraOnlineTest : public pagetest::BlockPageFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(BlockPageFixture::SetUp());
        ASSERT_NO_FATAL_FAILURE(GoOnline());
        ASSERT_NO_FATAL_FAILURE(OpenPage(CLSID_TBExtra));
        ASSERT_NO_FATAL_FAILURE(SetOnline());
    }
    SimulatedRecord* Device(BYTE index) { return channel_->Device().FindRecord(1, index); }
};

TEST_F(ExtraOnlineTest, EnterWritesTheDeviceAndReportsARefusal) {
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_TBX_UPPER_LIMIT, L"1500"));
    EXPECT_TRUE(LastMessageHas(L"Online Parameter Update Success")) << LastUserMessage();
    EXPECT_EQ(1500.0f, DeviceFloat(Device(117)));

    // The page first compares the size unit with the device's; that read passes, the write fails.
    channel_->AddFault(ChannelFaultRule{ChannelFault::Fail, kSimTransaction, 1, 1});
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_TBX_UPPER_LIMIT, L"1800"));
    EXPECT_TRUE(LastMessageHas(L"Online Parameter Update Failure")) << LastUserMessage();
    EXPECT_EQ(1500.0f, DeviceFloat(Device(117)));
}

TEST_F(ExtraOnlineTest, ImperialMakerUnitConvertsTheDevicesDiameter) {
    const float diameter = DeviceFloat(Device(77));
    const float width = StoredFloat(kWidth), length = StoredFloat(kLength);
    ASSERT_NO_FATAL_FAILURE(PickAndEnter(IDC_TBX_MAKER_UNIT, L"SCFM"));
    EXPECT_TRUE(LastMessageHas(L"Online Parameter Update Success")) << LastUserMessage();
    EXPECT_EQ(Bytes({0x05, 0x50}), Device(115)->bytes);
    EXPECT_FLOAT_EQ(static_cast<float>(diameter / 25.4), DeviceFloat(Device(77)));
    EXPECT_FLOAT_EQ(static_cast<float>(width / 25.4), StoredFloat(kWidth));
    EXPECT_FLOAT_EQ(static_cast<float>(length / 25.4), StoredFloat(kLength));
    EXPECT_EQ(Bytes({0x03, 0xF5}), Device(78)->bytes) << "the page does not write the device's size unit";

    // A metric maker unit while the device still counts in mm changes no size.
    ASSERT_NO_FATAL_FAILURE(PickAndEnter(IDC_TBX_MAKER_UNIT, L"NCMH"));
    EXPECT_FLOAT_EQ(static_cast<float>(diameter / 25.4), DeviceFloat(Device(77)));
}

}  // namespace
