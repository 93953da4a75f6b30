// Type names and display texts, always inside the caller's buffer.
#include <cstring>
#include <string>

#include "tests/support/TestVariants.h"
#include "values/DisplayText.h"

namespace {

using namespace vtest;

TEST(VarTypeToStringTest, NamesAndFlagSuffixes) {
    const struct {
        VARTYPE type;
        const char* text;
    } cases[] = {
        {0x2011, "VT_UI1 | VT_ARRAY"},
        {VT_BYREF | VT_VECTOR | VT_R4, "VT_R4 | VT_VECTOR"},
        {VT_RESERVED | VT_DISPATCH, "Unknown (9) | VT_RESERVED"},
        {0x0FFF, "Unknown (4095)"},
        {70, "VT_BLOB_OBJECT"},
        {69, "Unknown (69)"},
        {VT_STREAMED_OBJECT | VT_VECTOR | VT_ARRAY | VT_RESERVED,
         "VT_STREAMED_OBJECT | VT_VECTOR | VT_ARRAY | VT_RESERVED"},
    };
    for (const auto& c : cases) {
        char text[kVarTypeTextSize];
        VarTypeToString(c.type, text);
        EXPECT_STREQ(c.text, text);
    }
    char small[8 + 4];
    std::memset(small, '#', sizeof small);
    VarTypeToString(0x2011, small, 8);
    EXPECT_STREQ("VT_UI1 ", small);
    EXPECT_EQ('#', small[8]);
}

ql::Variant Of(VARTYPE vt, LONGLONG raw) {
    ql::Variant v;
    V_VT(v.Put()) = vt;
    v.Get()->llVal = raw;
    return v;
}

TEST(VariantToDisplayStringTest, TextsByType) {
    SAFEARRAYBOUND bounds[2] = {{1, 0}, {1, 0}};
    ql::Variant twoDimensions, nullText, half;
    twoDimensions.AttachArray(VT_UI1, ::SafeArrayCreate(VT_UI1, 2, bounds));
    nullText.AttachBstr(nullptr);
    half.SetR4(0.5f);
    const struct {
        const char* name;
        ql::Variant value;
        std::string text;
    } cases[] = {
        {"I1 0xFF", Of(VT_I1, 0xFF), "-1"},
        {"UI1 0xFF", Of(VT_UI1, 0xFF), "255"},
        {"UI2", Of(VT_UI2, 0xFFFF), "65535"},
        {"R4 0.5", std::move(half), "0.500000"},
        {"BOOL 1", Of(VT_BOOL, 1), "False"},
        {"BOOL true", Of(VT_BOOL, 0xFFFF), "True"},
        {"ERROR", Of(VT_ERROR, 0x80004005), "0x80004005"},
        {"CY", Of(VT_CY, 1), "..."},
        {"by reference", Of(VT_BYREF | VT_I4, 0), "..."},
        {"EMPTY", Of(VT_EMPTY, 0), ""},
        {"text", MakeBstr(L"Flow \u00e4"), "Flow \xe4"},
        {"bytes", MakeBytes({0x0A, 0x1B}), "0A1B"},
        {"two-dimensional bytes", std::move(twoDimensions), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        char text[kDisplayTextSize];
        VariantToDisplayString(c.value.Get(), text);
        EXPECT_EQ(c.text, text);
    }
}

// A long value is cut to the buffer; a byte array stays cut at 255 digits even in a larger buffer.
TEST(VariantToDisplayStringTest, LongTextsAreCutInsideTheBuffer) {
    ql::SafeArray bytes;
    ASSERT_EQ(S_OK, bytes.Create(VT_UI1, 200, 0));
    ql::Variant manyBytes;
    manyBytes.AttachArray(VT_UI1, bytes.Detach());
    const struct {
        const char* name;
        ql::Variant value;
        size_t bufferSize;
        std::string start;  // the text begins with this
        size_t length;
    } cases[] = {
        {"200 bytes", std::move(manyBytes), 600, std::string(255, '0'), 255},
        {"long text", MakeBstr(std::wstring(1000, L'w').c_str()), kDisplayTextSize,
         std::string(kDisplayTextSize - 1, 'w'), kDisplayTextSize - 1},
        {"tiny buffer", MakeBstr(L"abcdef"), 4, "abc", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string buffer(c.bufferSize + 8, '#');
        VariantToDisplayString(c.value.Get(), buffer.data(), c.bufferSize);
        const std::string text(buffer.c_str());
        EXPECT_EQ(c.length, text.size());
        EXPECT_EQ(c.start, text.substr(0, c.start.size()));
        EXPECT_EQ(std::string(8, '#'), buffer.substr(c.bufferSize));
    }
}

}  // namespace
