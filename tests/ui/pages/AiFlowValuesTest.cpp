// The AI flow block's records split into their member fields, joined back from typed texts, and the numbers
// formatted with the OUT scale's decimal point.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "ui/pages/AiFlowValues.h"

namespace {

ql::Variant Bytes(const std::vector<BYTE>& bytes) {
    ql::Variant value;
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    ql::SafeArrayData<BYTE> data(array);
    for (size_t i = 0; i < bytes.size(); ++i) data[static_cast<ULONG>(i)] = bytes[i];
    value.AttachArray(VT_UI1, array);
    return value;
}

std::vector<BYTE> BytesOf(const VARIANT& value) {
    if (V_VT(&value) != (VT_ARRAY | VT_UI1)) return {};
    ql::SafeArrayData<BYTE> data(V_ARRAY(&value));
    const ULONG count = V_ARRAY(&value)->rgsabound[0].cElements;
    return std::vector<BYTE>(data.Data(), data.Data() + count);
}

const std::vector<BYTE> kOutScale{0x42, 0xC8, 0, 0, 0, 0, 0, 0, 0x05, 0x3E, 0x05};

TEST(AiFlowValuesTest, OutScaleSplitsIntoItsMembersAndJoinsBack) {
    const OutScaleFields fields = SplitOutScale(*Bytes(kOutScale).Get());
    EXPECT_FLOAT_EQ(fields.valueAt100, 100.0f);
    EXPECT_FLOAT_EQ(fields.valueAt0, 0.0f);
    EXPECT_EQ(fields.unitCode, 1342);
    EXPECT_EQ(fields.decimalPoint, 5);

    ql::Variant joined;
    ASSERT_EQ(JoinOutScale(" 100", "0.0", 1342, "5", joined.Put()), S_OK);
    EXPECT_EQ(BytesOf(*joined.Get()), kOutScale);
}

TEST(AiFlowValuesTest, SimulationRoundTrips) {
    const std::vector<BYTE> simulation{0x80, 0x41, 0x20, 0, 0, 0x01};
    const SimulationFields fields = SplitSimulation(*Bytes(simulation).Get());
    EXPECT_EQ(fields.status, 0x80);
    EXPECT_FLOAT_EQ(fields.value, 10.0f);
    EXPECT_EQ(fields.enable, 1);
    ql::Variant joined;
    ASSERT_EQ(JoinSimulation(fields.status, "10.00000", fields.enable, joined.Put()), S_OK);
    EXPECT_EQ(BytesOf(*joined.Get()), simulation);
}

TEST(AiFlowValuesTest, DecimalPointFormatsAndIsClamped) {
    struct Case {
        double value;
        long decimals;
        const char* text;
    } const cases[] = {{100.0, 2, "100.00"},
                       {0.0, 2, "0.00"},
                       {12.34567, 2, "12.35"},
                       {1.5, -3, "2"},
                       {0.25, 255, "0.250000000000000"}};
    for (const Case& c : cases) EXPECT_EQ(FormatWithDecimals(c.value, c.decimals), c.text) << c.text;
    // 301 integer digits, the point and 15 places: more than any fixed buffer the page would have kept.
    EXPECT_EQ(FormatWithDecimals(1e300, 255).size(), 317u);
    EXPECT_DOUBLE_EQ(LenientNumber("  12.34567kg"), 12.34567);
    EXPECT_DOUBLE_EQ(LenientNumber("kg"), 0.0);
    EXPECT_EQ(LenientInteger(" -7x"), -7);
}

TEST(AiFlowValuesTest, OneInvalidMemberRefusesTheRecord) {
    ql::Variant record = Bytes({1, 2, 3});
    EXPECT_EQ(JoinOutScale("100", "abc", 1342, "5", record.Put()), E_INVALIDARG);
    EXPECT_EQ(JoinOutScale("100", "0", 1342, "256", record.Put()), E_INVALIDARG);
    EXPECT_EQ(JoinPvScale("1e39", "0", record.Put()), E_INVALIDARG);
    EXPECT_EQ(JoinPvScale("100", "0", nullptr), E_POINTER);
    ASSERT_EQ(JoinPvScale("100", "0", record.Put()), S_OK);
    EXPECT_EQ(BytesOf(*record.Get()), (std::vector<BYTE>{0x42, 0xC8, 0, 0, 0, 0, 0, 0}));
}

TEST(AiFlowValuesTest, TotalizerShowsFiveDecimals) {
    EXPECT_EQ(ValueWithStatusText(*Bytes({0x42, 0xC8, 0, 0, 0x80}).Get()), "100.00000");
}

}  // namespace
