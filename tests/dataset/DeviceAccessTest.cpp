// Device access of one parameter and the access update that ends a write taken into the dataset.
#include <gmock/gmock.h>

#include "DatasetTestSupport.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using DeviceAccessTest = StoreTest;

TEST_F(DeviceAccessTest, ReadsGoToTheDeviceOnlyForReadableDeviceParameters) {
    const struct {
        ULONG id;
        ULONG access;
        VARIANT_BOOL sent;
        std::vector<std::string> calls;
    } cases[] = {
        {16, 0x50, VARIANT_TRUE, {"readAsync 16", "read 16"}},
        {3, 0x71, VARIANT_FALSE, {}},   // internal item
        {16, 0x40, VARIANT_FALSE, {}},  // not readable
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        device_.calls.clear();
        SetAccess(c.id, c.access);
        VARIANT_BOOL sent = VARIANT_TRUE, result = VARIANT_TRUE;
        EXPECT_HR(S_OK, variables()->ReadFromDeviceAsync(c.id, &sent));
        EXPECT_HR(S_OK, variables()->ReadFromDevice(c.id, &result));
        EXPECT_EQ(c.sent, sent);
        EXPECT_EQ(c.sent, result);
        EXPECT_EQ(c.calls, device_.calls);
    }
    VARIANT_BOOL sent = VARIANT_TRUE;
    EXPECT_HR(E_INVALIDARG, variables()->ReadFromDeviceAsync(16, nullptr));
    SetAccess(16, 0x50);
    store().AttachDeviceAccess(nullptr);
    EXPECT_HR(E_FAIL, variables()->ReadFromDeviceAsync(16, &sent));
}

// Offline a device parameter's value goes into the dataset and keeps 0x02 until a transfer brings it into
// the device; a value that is not written to a device loses 0x02.
TEST_F(DeviceAccessTest, OfflineWritesAreTakenIntoTheDataset) {
    const struct {
        const char* name;
        ULONG id;
        ULONG accessBefore;
        ULONG value;
        const char* stored;
        ULONG accessAfter;
    } cases[] = {
        {"device parameter", 18, 0x71, 5, "ui2:5", 0x73},
        {"internal item", 124, 0x03, 5, "ui2:5", 0x01},
        // A rejected value is stored all the same and carries 0x04.
        {"out of range", 3, 0x71, 127, "ui1:127", 0x75},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host_.notifications.clear();
        SetAccess(c.id, c.accessBefore);
        VARIANT_BOOL sent = VARIANT_FALSE;
        EXPECT_HR(S_OK, variables()->WriteToDeviceAsync(c.id, *MakeUI4(c.value), &sent));
        EXPECT_EQ(VARIANT_TRUE, sent);
        EXPECT_EQ(c.stored, ValueOf(c.id));
        EXPECT_EQ(c.accessAfter, AccessOf(c.id));
        const std::string id = std::to_string(c.id);
        EXPECT_THAT(host_.notifications, ElementsAre("2702 [ui4:" + id + ", " + c.stored + "]",
                                                     "2702 [ui4:" + id + ", ui4:" + id + "]"));
    }
    EXPECT_THAT(device_.calls, IsEmpty());
}

TEST_F(DeviceAccessTest, SetAccessAndNotify) {
    EXPECT_HR(E_INVALIDARG, store().SetAccessAndNotify(8, 0x73));
    EXPECT_HR(E_INVALIDARG, store().SetAccessAndNotify(kInvalidParameterId, 0x73));
    EXPECT_THAT(host_.notifications, IsEmpty());

    EXPECT_HR(S_OK, store().SetAccessAndNotify(18, 0x73));
    EXPECT_THAT(host_.notifications, ElementsAre("2702 [ui4:18, ui4:18]"));

    // The access word stays stored when the notification fails.
    host_.notificationResult = E_ACCESSDENIED;
    EXPECT_HR(E_ACCESSDENIED, store().SetAccessAndNotify(18, 0x71));
    EXPECT_EQ(0x71u, AccessOf(18));

    // Without the DTM object's services there is nobody to tell.
    store().AttachHost(nullptr);
    EXPECT_HR(S_OK, store().SetAccessAndNotify(18, 0x72));
    EXPECT_EQ(0x72u, AccessOf(18));
}

}  // namespace
