// Big-endian numbers, raw floating-point bits, byte arrays made and viewed, and the width table of the
// VARTYPEs.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/SafeArray.h"
#include "tests/support/HResultText.h"
#include "tests/support/TestVariants.h"
#include "values/Bytes.h"
#include "values/ScalarTypes.h"

namespace {

using namespace vtest;

TEST(BigEndianTest, WritesAndReadsTheLowBytesMostSignificantFirst) {
    const struct {
        uint64_t value;
        size_t width;
        std::vector<BYTE> bytes;
        uint64_t readBack;  // what the bytes read as: only the low `width` bytes are written
    } cases[] = {
        {0xAB, 1, {0xAB}, 0xAB},
        {0x0102, 2, {0x01, 0x02}, 0x0102},
        {0x11223344, 2, {0x33, 0x44}, 0x3344},
        {0x80000001, 4, {0x80, 0x00, 0x00, 0x01}, 0x80000001},
        {0xFEDCBA9876543210, 8, {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10}, 0xFEDCBA9876543210},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        std::vector<BYTE> written(c.width + 1, 0xEE);
        WriteBigEndian(c.value, c.width, written.data());
        EXPECT_EQ(c.bytes, std::vector<BYTE>(written.begin(), written.begin() + c.width));
        EXPECT_EQ(0xEE, written[c.width]);                              // nothing past the width
        EXPECT_EQ(c.readBack, ReadBigEndian(c.bytes.data(), c.width));  // never sign-extended
    }
    const BYTE record[] = {0x3F, 0x80, 0x00, 0x00, 0x12, 0x34};
    EXPECT_EQ(0x3F800000u, ReadBigEndian32(record));
    EXPECT_EQ(0x1234u, ReadBigEndian16(record + 4));
}

TEST(BigEndianTest, FloatingPointNumbersTravelAsTheirBits) {
    EXPECT_EQ(0x3F800000u, BitsFromFloat(1.0f));
    EXPECT_EQ(-2.5f, FloatFromBits(0xC0200000u));
    EXPECT_EQ(0xC004000000000000u, BitsFromDouble(-2.5));
    EXPECT_EQ(100.5, DoubleFromBits(BitsFromDouble(100.5)));
}

TEST(MakeByteArrayTest, MakesAOneDimensionalArrayFromZeroAndReplacesOnlyOnSuccess) {
    const BYTE bytes[] = {0x00, 0x7F, 0xFF};
    ql::Variant value = MakeI4(7);
    ASSERT_HR(S_OK, MakeByteArray(bytes, 3, value));
    ASSERT_EQ(kByteArrayType, value.Type());
    EXPECT_EQ(1u, ::SafeArrayGetDim(V_ARRAY(value.Get())));
    EXPECT_EQ(0, LowerBound(*value));
    EXPECT_EQ((std::vector<BYTE>{0x00, 0x7F, 0xFF}), Elements<BYTE>(*value));

    ASSERT_HR(S_OK, MakeByteArray(nullptr, 0, value));
    ASSERT_EQ(kByteArrayType, value.Type());  // no bytes is still a byte string
    EXPECT_TRUE(Elements<BYTE>(*value).empty());

    ql::Variant kept = MakeI4(7);
    EXPECT_HR(E_INVALIDARG, MakeByteArray(nullptr, 2, kept));
    EXPECT_EQ(VT_I4, kept.Type());
}

TEST(CopyByteArrayTest, CopiesTheBytesAndLeavesTheTargetOnFailure) {
    std::vector<BYTE> copied{0xEE};
    ASSERT_HR(S_OK, CopyByteArray(*MakeBytes({4, 5}, 3), copied));
    EXPECT_EQ((std::vector<BYTE>{4, 5}), copied);
    EXPECT_HR(DISP_E_TYPEMISMATCH, CopyByteArray(*MakeI4(1), copied));
    EXPECT_EQ((std::vector<BYTE>{4, 5}), copied);
}

TEST(ByteArrayViewTest, ShowsTheBytesOfOneDimensionOnlyAndLocksThemWhileItLives) {
    SAFEARRAYBOUND twoBounds[2] = {{2, 0}, {2, 0}};
    ql::Variant twoDimensions, noArray;
    twoDimensions.AttachArray(VT_UI1, ::SafeArrayCreate(VT_UI1, 2, twoBounds));
    noArray.AttachArray(VT_UI1, nullptr);
    // A descriptor that counts bytes but has no data: it does not hold them, and nothing is read.
    SAFEARRAY withoutData{};
    withoutData.cDims = 1;
    withoutData.fFeatures = FADF_STATIC | FADF_FIXEDSIZE;
    withoutData.cbElements = 1;
    withoutData.rgsabound[0].cElements = 3;
    VARIANT withoutDataValue;
    V_VT(&withoutDataValue) = kByteArrayType;
    withoutDataValue.parray = &withoutData;
    const ql::Variant fromFive = MakeBytes({1, 2, 3}, 5), empty = MakeBytes({}), text = MakeBstr(L"0102");

    const struct {
        const char* name;
        const VARIANT* value;
        HRESULT status;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"bytes from lower bound 5", fromFive.Get(), S_OK, {1, 2, 3}},
        {"no elements", empty.Get(), S_OK, {}},
        {"no data", &withoutDataValue, DISP_E_TYPEMISMATCH, {}},
        {"another type", text.Get(), DISP_E_TYPEMISMATCH, {}},
        {"byte array without its array", noArray.Get(), E_UNEXPECTED, {}},
        {"two dimensions", twoDimensions.Get(), E_INVALIDARG, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ByteArrayView view(*c.value);
        EXPECT_HR(c.status, view.Status());
        ASSERT_EQ(c.bytes.size(), view.Size());
        if (c.bytes.empty()) {
            EXPECT_EQ(nullptr, view.Data());
            continue;
        }
        EXPECT_EQ(c.bytes, std::vector<BYTE>(view.Data(), view.Data() + view.Size()));
        EXPECT_EQ(1u, V_ARRAY(c.value)->cLocks);
    }
    EXPECT_EQ(0u, V_ARRAY(fromFive.Get())->cLocks);  // given back when the view went
    EXPECT_EQ(0u, withoutData.cLocks);
}

TEST(VarTypeWidthTest, GivesTheWidthOfEveryFixedSizeValueAndNoneForTheRest) {
    const struct {
        VARTYPE type;
        size_t width;
    } cases[] = {
        {VT_UI1, 1},
        {VT_BOOL, 2},
        {VT_ERROR, 4},
        {VT_UINT, 4},
        {VT_R8, 8},
        {VT_I8, 8},
        {VT_CY, 8},
        {VT_DECIMAL, 16},
        {VT_BSTR, sizeof(void*)},
        {VT_UNKNOWN, sizeof(void*)},
        {VT_EMPTY, 0},
        {VT_NULL, 0},
        {VT_VARIANT, 0},
        {kByteArrayType, 0},
        {VT_BYREF | VT_I4, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(c.width, ql::VarTypeWidth(c.type));
    }
}

}  // namespace
