// The mass flow page's block display (mode block, block object, alarm summary, the pipe and duct pictures)
// offline from the dataset and online from the device's values, and its Enter commits online against the
// simulated flowmeter: the device is written, the duct follows the device's diameter, and a flow unit of
// the other measuring system converts the device's diameter and the dataset's duct sizes.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "VarnokP3.h"
#include "dtm/documents/PaBlockTexts.h"
#include "tests/ui/pages/BlockPageFixture.h"
#include "ui/pages/PageResources.h"

namespace {

using pagetest::DeviceFloat;

using Bytes = std::vector<BYTE>;

constexpr ULONG kAlarm = 22, kBlockObject = 31, kModeBlock = 37, kWidth = 51, kLength = 52;

class MassFlowOnlineTest : public pagetest::BlockPageFixture {
protected:
    void OpenOnline() {
        ASSERT_NO_FATAL_FAILURE(GoOnline());
        ASSERT_NO_FATAL_FAILURE(OpenPage(CLSID_P4_TBMassFlow));
        ASSERT_NO_FATAL_FAILURE(SetOnline());
    }
    SimulatedRecord* Device(BYTE index) { return channel_->Device().FindRecord(1, index); }
    void ExpectMode(const wchar_t* actual, const wchar_t* normal, bool automatic, bool outOfService,
                    bool manual) {
        EXPECT_EQ(actual, Text(IDC_MF_ACTUAL_MODE));
        EXPECT_EQ(normal, Text(IDC_MF_NORMAL_MODE));
        EXPECT_EQ(automatic, Checked(IDC_MF_PERMITTED_AUTO));
        EXPECT_EQ(outOfService, Checked(IDC_MF_PERMITTED_OS));
        EXPECT_EQ(manual, Checked(IDC_MF_PERMITTED_MAN));
    }
};

TEST_F(MassFlowOnlineTest, ShowsTheBlockFromTheDatasetAndItsPictures) {
    Bytes blockObject(20, 0);
    blockObject[1] = 3, blockObject[2] = 1, blockObject[3] = 2, blockObject[12] = 3;
    StoreValue(kBlockObject, vtest::MakeBytes(blockObject));
    StoreValue(kModeBlock, vtest::MakeBytes({0x80, 0x90, 0x08}));
    StoreValue(kAlarm, vtest::MakeBytes({0x82, 0, 0, 0, 0, 0, 0, 0}));
    ASSERT_NO_FATAL_FAILURE(OpenPage(CLSID_P4_TBMassFlow));
    EXPECT_EQ(0u, Text(IDC_MF_ALARM).find(L"82 00")) << Text(IDC_MF_ALARM);
    EXPECT_EQ(L"Ver 3.00", Text(IDC_MF_PROFILE_REVISION));
    const char *block = "", *parent = "", *blockClass = "";
    FormatBlockClass(3, 1, 2, &block, &parent, &blockClass);
    const auto wide = [](const char* text) { return std::wstring(text, text + std::strlen(text)); };
    EXPECT_EQ(wide(block), Text(IDC_MF_BLOCK_OBJECT));
    EXPECT_EQ(wide(parent), Text(IDC_MF_PARENT_CLASS));
    EXPECT_EQ(wide(blockClass), Text(IDC_MF_CLASS));
    ExpectMode(L"Out Of Service", L"Auto", false, true, true);
    for (int id : {IDC_MF_PIPE_PICTURE, IDC_MF_DUCT_PICTURE}) {
        EXPECT_NE(0, ::SendMessageW(Item(id), STM_GETIMAGE, IMAGE_BITMAP, 0)) << id;
    }
}

// The cyclic read brings the device's mode block to the page.
TEST_F(MassFlowOnlineTest, ShowsTheDevicesModeBlock) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline());
    ExpectMode(L"Auto", L"Auto", true, true, true);
    Device(68)->bytes = {0x10, 0x18, 0x10};
    ::SendMessageW(dialog_, WM_TIMER, 1, 0);
    ExpectMode(L"MAN", L"Manual", true, false, true);
}

TEST_F(MassFlowOnlineTest, EnterWritesTheDeviceAndReportsARefusal) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline());
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_MF_HIGH_LIMIT, L"250"));
    EXPECT_TRUE(LastMessageHas(L"Online Parameter Update Success")) << LastUserMessage();
    EXPECT_EQ(250.0f, DeviceFloat(Device(85)));

    // The page first compares the size unit with the device's; that read passes, the write fails.
    channel_->AddFault(ChannelFaultRule{ChannelFault::Fail, kSimTransaction, 1, 1});
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_MF_HIGH_LIMIT, L"300"));
    EXPECT_TRUE(LastMessageHas(L"Online Parameter Update Failure")) << LastUserMessage();
    EXPECT_EQ(250.0f, DeviceFloat(Device(85)));
}

// The duct follows the diameter the device holds after the write.
TEST_F(MassFlowOnlineTest, DuctFollowsTheDevicesDiameter) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline());
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_MF_DIAMETER, L"100"));
    EXPECT_TRUE(LastMessageHas(L"Online Parameter Update Success")) << LastUserMessage();
    EXPECT_EQ(100.0f, DeviceFloat(Device(77)));
    EXPECT_FLOAT_EQ(88.62266f, StoredFloat(kWidth));
    EXPECT_FLOAT_EQ(88.62266f, StoredFloat(kLength));
}

// kg/h to lb/h while the device's sizes are in mm: the page writes the device's diameter in inches and the
// duct sizes of the dataset; the size unit is the device's own business online.
TEST_F(MassFlowOnlineTest, ImperialFlowUnitConvertsTheDevicesDiameter) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline());
    const float diameter = DeviceFloat(Device(77));
    const float width = StoredFloat(kWidth), length = StoredFloat(kLength);
    ASSERT_NO_FATAL_FAILURE(PickAndEnter(IDC_MF_FLOW_UNIT, L"lb/h"));
    EXPECT_TRUE(LastMessageHas(L"Online Parameter Update Success")) << LastUserMessage();
    EXPECT_EQ(Bytes({0x05, 0x34}), Device(84)->bytes);
    EXPECT_FLOAT_EQ(static_cast<float>(diameter / 25.4), DeviceFloat(Device(77)));
    EXPECT_FLOAT_EQ(static_cast<float>(width / 25.4), StoredFloat(kWidth));
    EXPECT_FLOAT_EQ(static_cast<float>(length / 25.4), StoredFloat(kLength));
    EXPECT_EQ(Bytes({0x03, 0xF5}), Device(78)->bytes) << "the page does not write the device's size unit";
}

}  // namespace
