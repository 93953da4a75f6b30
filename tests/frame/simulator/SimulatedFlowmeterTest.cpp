// The simulated flowmeter as a DP-V1 slave: records seeded from the parameter table with their lengths,
// rights and ranges, the errors a device gives, and the live values that move with time.
#include <gtest/gtest.h>

#include <cmath>

#include "dataset/ParameterTable.h"
#include "frame/simulator/SimulatedFlowmeter.h"

namespace {

TEST(SimulatedFlowmeterTest, HoldsEveryDeviceParameterOfTheTable) {
    CSimulatedFlowmeter device;
    const ParameterTableView table = DeviceParameterTable();
    size_t deviceParameters = 0;
    for (size_t i = 0; i < table.count; ++i) {
        const ParameterDefinition& definition = table.rows[i];
        if (definition.IsDeviceParameter != 1) continue;
        ++deviceParameters;
        SCOPED_TRACE(definition.Name);
        const SimulatedRecord* record = device.FindRecord(static_cast<BYTE>(definition.Address >> 16),
                                                          static_cast<BYTE>(definition.Address & 0xFF));
        ASSERT_NE(nullptr, record);
        EXPECT_FALSE(record->bytes.empty());
        EXPECT_EQ((definition.Access & 0x20) != 0, record->writable);
        if (PaNumberWidth(definition.DataType) != 0) {
            EXPECT_EQ(PaNumberWidth(definition.DataType), record->bytes.size());
        }
    }
    EXPECT_GT(deviceParameters, 80u);
}

TEST(SimulatedFlowmeterTest, AnswersDpv1ErrorsAsADeviceDoes) {
    CSimulatedFlowmeter device;
    struct Case {
        const char* name;
        BYTE slot, index;
        bool write;
        SimBytes data;
        int busy;
        Dpv1DeviceError error;
    };
    const Case cases[] = {
        {"read", 1, 70, false, {}, 0, Dpv1DeviceError::None},
        {"invalid slot", 9, 70, false, {}, 0, Dpv1DeviceError::InvalidSlot},
        {"invalid index", 1, 200, false, {}, 0, Dpv1DeviceError::InvalidIndex},
        {"busy", 1, 70, false, {}, 1, Dpv1DeviceError::Busy},
        {"write", 1, 70, true, EncodePaNumber(2.0, VT_R4), 0, Dpv1DeviceError::None},
        {"write length", 1, 70, true, {0x3F}, 0, Dpv1DeviceError::WriteLength},
        {"read-only", 0, 17, true, {0, 1}, 0, Dpv1DeviceError::AccessDenied},
        {"enumeration out of range", 0, 21, true, {99}, 0, Dpv1DeviceError::InvalidRange},
        {"enumeration in range", 1, 21, true, {16}, 0, Dpv1DeviceError::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device.SetBusyFor(c.busy);
        SimBytes data;
        const Dpv1DeviceError error =
            c.write ? device.Write(c.slot, c.index, c.data) : device.Read(c.slot, c.index, &data);
        EXPECT_EQ(c.error, error);
    }
    EXPECT_EQ((SimBytes{0x80, 0xB6, 0x00}), Dpv1ErrorBytes(Dpv1DeviceError::AccessDenied));
    EXPECT_EQ((SimBytes{0x80, 0xC2, 0x00}), Dpv1ErrorBytes(Dpv1DeviceError::Busy));
    EXPECT_EQ((SimBytes{0, 0, 0}), Dpv1ErrorBytes(Dpv1DeviceError::None));
    EXPECT_EQ(EncodePaNumber(2.0, VT_R4), device.FindRecord(1, 70)->bytes);
}

TEST(SimulatedFlowmeterTest, LiveValuesMoveWithTimeAndCarryAGoodStatus) {
    CSimulatedFlowmeter device;
    device.SetFrozen(true);
    SimBytes flow, total, temperature;
    ASSERT_EQ(Dpv1DeviceError::None, device.Read(1, 83, &flow));
    ASSERT_EQ(5u, flow.size());
    EXPECT_EQ(CSimulatedFlowmeter::kStatusGood, flow[4]);
    EXPECT_FLOAT_EQ(120.0f, static_cast<float>(DecodePaNumber(flow, VT_R4)));

    const double totalBefore = device.Totalizer();
    device.AdvanceTime(15000);  // a quarter of the flow's swing
    EXPECT_NEAR(132.0, device.MassFlow(), 1e-6);
    EXPECT_NEAR(totalBefore + 132.0 * 15 / 3600, device.Totalizer(), 1e-6);
    ASSERT_EQ(Dpv1DeviceError::None, device.Read(2, 26, &total));
    EXPECT_FLOAT_EQ(static_cast<float>(device.Totalizer()), static_cast<float>(DecodePaNumber(total, VT_R4)));
    ASSERT_EQ(Dpv1DeviceError::None, device.Read(3, 26, &temperature));
    EXPECT_NEAR(21.5, DecodePaNumber(temperature, VT_R4), 1.0);
    EXPECT_EQ(CSimulatedFlowmeter::kStatusGood, temperature[4]);

    // SET_TOT = RESET starts the total again.
    ASSERT_EQ(Dpv1DeviceError::None, device.Write(2, 29, {1}));
    EXPECT_EQ(0.0, device.Totalizer());
}

TEST(SimulatorCodecTest, WritesPaNumbersMostSignificantByteFirst) {
    EXPECT_EQ((SimBytes{0x3F, 0x80, 0x00, 0x00}), EncodePaNumber(1.0, VT_R4));
    EXPECT_EQ((SimBytes{0x05, 0x3E}), EncodePaNumber(1342, VT_UI2));
    EXPECT_EQ((SimBytes{0xFF}), EncodePaNumber(-1, VT_I1));
    EXPECT_EQ(-1.0, DecodePaNumber({0xFF}, VT_I1));
    EXPECT_EQ(4294967295.0, DecodePaNumber({0xFF, 0xFF, 0xFF, 0xFF}, VT_UI4));
    SimBytes bytes;
    EXPECT_TRUE(BytesFromHex(std::wstring_view(L"0aFF"), &bytes));
    EXPECT_EQ(L"0AFF", HexFromBytes(bytes));
    EXPECT_FALSE(BytesFromHex(std::wstring_view(L"0AF"), &bytes));
    EXPECT_FALSE(BytesFromHex(std::wstring_view(L"0G"), &bytes));
}

}  // namespace
