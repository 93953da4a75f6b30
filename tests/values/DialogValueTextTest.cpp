// The text forms of values in dialog controls: shown through a row's format, and read back as a
// single-precision number or a byte array. The prefix's system locale uses '.' as decimal separator.
#include <string>

#include "tests/support/HResultText.h"
#include "tests/support/TestVariants.h"
#include "values/DialogValueText.h"

namespace {

using namespace vtest;

ql::Variant Typed(VARTYPE vt, LONGLONG bits) {
    ql::Variant v;
    V_VT(v.Put()) = vt;
    V_I8(v.Get()) = bits;
    return v;
}

TEST(FormatDialogTextTest, ShowsEachTypeThroughTheRowsFormat) {
    ql::Variant r4, r8, boolTrue;
    r4.SetR4(1.5f);
    r8.SetR8(2.25);
    boolTrue.SetBool(true);
    SAFEARRAYBOUND bounds[2] = {{1, 0}, {1, 0}};
    ql::Variant twoDimensions;
    twoDimensions.AttachArray(VT_UI1, ::SafeArrayCreate(VT_UI1, 2, bounds));
    const struct {
        const char* name;
        const char* format;
        ql::Variant value;
        bool shown;
        const char* text;
    } cases[] = {
        {"empty", "%i", ql::Variant(), true, ""},
        {"I2 widened with its sign", "%i", Typed(VT_I2, 0xFFFF), true, "-1"},
        {"I1 widened with its sign", "%i", Typed(VT_I1, 0xFF), true, "-1"},
        {"UI1", "%u", Typed(VT_UI1, 255), true, "255"},
        {"UI4", "%u", MakeUI4(4000000000u), true, "4000000000"},
        {"bool true", "%i", std::move(boolTrue), true, "-1"},
        {"R4", "%g", std::move(r4), true, "1.5"},
        {"R8", "%.3f", std::move(r8), true, "2.250"},
        {"text", "%s", MakeBstr(L"Plant"), true, "Plant"},
        {"bytes: digits and a blank each", "%s", MakeBytes({0x0A, 0xFF}), true, "0A FF "},
        {"no bytes", "%s", MakeBytes({}), true, ""},
        {"two-dimensional bytes", "%s", std::move(twoDimensions), false, ""},
        {"date", "%g", Typed(VT_DATE, 0), false, ""},
        {"null", "%i", Typed(VT_NULL, 0), false, ""},
        {"long integer and a percent sign", "%lu%%", MakeUI4(7), true, "7%"},
        {"short integer", "%hi", Typed(VT_I2, 0xFFFF), true, "-1"},
        {"no conversion", "-", MakeI4(7), true, "-"},
        // A value of another kind than the format reads is not read as that kind.
        {"number through %s", "%s", MakeI4(7), false, ""},
        {"bool through %s", "%s", Typed(VT_BOOL, VARIANT_TRUE), false, ""},
        {"text through %u", "%u", MakeBstr(L"7"), false, ""},
        {"R8 through %i", "%i", Typed(VT_R8, 0x401C000000000000), false, ""},
        {"I4 through %g", "%g", MakeI4(7), false, ""},
        {"wide text", "%ls", MakeBstr(L"7"), false, ""},
        {"64-bit integer", "%lld", MakeI4(7), false, ""},
        {"two conversions", "%u%u", MakeUI4(7), false, ""},
        {"width from an argument", "%*u", MakeUI4(7), false, ""},
        {"writing conversion", "%n", MakeI4(7), false, ""},
        {"lone percent", "7%", MakeI4(7), false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = "old";
        bool shown = !c.shown;
        EXPECT_HR(S_OK, FormatDialogText(c.format, *c.value, text, shown));
        EXPECT_EQ(c.shown, shown);
        if (c.shown) {
            EXPECT_EQ(c.text, text);
        }
    }
}

TEST(ParseSingleDialogTextTest, ReadsNumbersAsTheRowShowsThem) {
    const struct {
        const char* text;
        const char* format;
        HRESULT hr;
        float value;
    } cases[] = {
        {"1.5", "%g", S_OK, 1.5f},    {"e3", "%g", S_OK, 1000.0f},  {" E2", "%g", S_OK, 100.0f},
        {"2e3", "%g", S_OK, 2000.0f}, {"12abc", "%g", S_OK, 12.0f}, {"3.1415926", "%.5f", S_OK, 3.14159f},
        {"1e-7", "%.6f", S_OK, 0.0f}, {"-e3", "%g", E_FAIL, 0.0f},  {"E-3", "%g", E_FAIL, 0.0f},
        {"", "%g", E_FAIL, 0.0f},     {"   ", "%g", E_FAIL, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        float value = -99.0f;
        EXPECT_HR(c.hr, ParseSingleDialogText(c.text, c.format, value));
        if (c.hr == S_OK) {
            EXPECT_FLOAT_EQ(c.value, value);
        }
    }
}

// Only a finite decimal number within single precision is a number: what the C library's %f also reads
// (infinities, NaN, hexadecimal) or what would arrive as an infinity or 0 is no number at all.
TEST(ParseSingleDialogTextTest, TakesOnlyFiniteDecimalNumbers) {
    const struct {
        const char* text;
        HRESULT hr;
        float value;
    } cases[] = {
        {"inf", E_FAIL, 0},        {"infinity", E_FAIL, 0},  {"-inf", E_FAIL, 0},     {"NaN", E_FAIL, 0},
        {"0x10", E_FAIL, 0},       {"-0X1p4", E_FAIL, 0},    {"1e309", E_FAIL, 0},    {"1e39", E_FAIL, 0},
        {"1e-320", E_FAIL, 0},     {"-1e-50", E_FAIL, 0},    {"+2.5", S_OK, 2.5f},    {".5", S_OK, 0.5f},
        {"5.", S_OK, 5.0f},        {"1e", S_OK, 1.0f},       {"1e+2x", S_OK, 100.0f}, {"0", S_OK, 0.0f},
        {"3.4e38", S_OK, 3.4e38f}, {"0.0e-999", S_OK, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        float value = -99.0f;
        EXPECT_HR(c.hr, ParseSingleDialogText(c.text, nullptr, value));
        EXPECT_FLOAT_EQ(c.hr == S_OK ? c.value : -99.0f, value);
    }
}

TEST(ParseHexDialogTextTest, ReadsBytesWithSeparatorsAndPadding) {
    const struct {
        const char* text;
        HRESULT hr;
        std::vector<BYTE> bytes;  // empty with S_OK: VT_EMPTY
    } cases[] = {
        {"0A 1B:2C", S_OK, {0x0A, 0x1B, 0x2C}},
        {"0a1b", S_OK, {0x0A, 0x1B}},
        {"A", S_OK, {0xA0}},
        {"ABC", S_OK, {0xAB, 0xC0}},
        {"0A FF ", S_OK, {0x0A, 0xFF}},
        {" .,:;", S_OK, {}},
        {"", S_OK, {}},
        {"0x1A", E_INVALIDARG, {}},
        {"0A\t1B", E_INVALIDARG, {}},
        {"-1", E_INVALIDARG, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ql::Variant value;
        EXPECT_HR(c.hr, ParseHexDialogText(c.text, value.Put()));
        if (c.hr != S_OK || c.bytes.empty()) {
            EXPECT_EQ(VT_EMPTY, value.Type());
            continue;
        }
        ASSERT_EQ(VT_ARRAY | VT_UI1, value.Type());
        EXPECT_EQ(c.bytes, Elements<BYTE>(*value));
    }
}

}  // namespace
