// ConvertVariantType: the platform's conversion plus empty text, hexadecimal text and the array rules; and
// ChangeToStoredType, the form in which a dataset keeps and every save reads a value.
#include "classlib/Bstr.h"
#include "tests/support/HResultText.h"
#include "tests/support/TestVariants.h"
#include "values/VariantConversion.h"

namespace {

using namespace vtest;

ql::Variant Text(std::wstring_view text) {
    ql::Bstr bstr;
    EXPECT_EQ(S_OK, bstr.Assign(text));
    ql::Variant v;
    v.AttachBstr(bstr.Detach());
    return v;
}

TEST(ConvertVariantTypeTest, ScalarResults) {
    ql::Variant nullText;
    nullText.AttachBstr(nullptr);
    const struct {
        const char* name;
        ql::Variant source;
        VARTYPE wanted;
        HRESULT hr;
        const wchar_t* text;  // the result's US English text when hr is S_OK
    } cases[] = {
        {"empty text to R8", MakeBstr(L""), VT_R8, S_OK, L"0"},
        {"empty text to DECIMAL is the platform's", MakeBstr(L""), VT_DECIMAL, DISP_E_TYPEMISMATCH, nullptr},
        {"a blank is no empty text", MakeBstr(L" "), VT_I4, DISP_E_TYPEMISMATCH, nullptr},
        {"byte array to text", MakeBytes({0x0A, 0xFF}), VT_BSTR, S_OK, L"0AFF"},
        {"array with lower bound 1 to I2", MakeArray<LONG>(VT_I4, {7, 8}, 1), VT_I2, S_OK, L"7"},
        {"empty array to scalar", MakeArray<LONG>(VT_I4, {}), VT_I2, DISP_E_BADINDEX, nullptr},
        {"scalar refusal is the platform's", MakeI4(70000), VT_I2, DISP_E_OVERFLOW, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ql::Variant destination;
        EXPECT_HR(c.hr, ConvertVariantType(destination.Get(), c.source.Get(), c.wanted, 0, 0));
        EXPECT_EQ(c.hr == S_OK ? c.wanted : VARTYPE(VT_EMPTY),
                  destination.Type());  // written only on success
        if (c.hr == S_OK) {
            EXPECT_EQ(c.text, TextOf(*destination));
        }
    }
}

// An array is converted element by element only as what it holds: one whose VARIANT claims another type is
// refused, whatever it is converted to.
TEST(ConvertVariantTypeTest, RefusesAValueWhoseTypeMisclaimsItsData) {
    const VARTYPE wanted[] = {VT_I4, VT_BSTR, VT_R8, VT_ARRAY | VT_UI1, VT_ARRAY | VT_I4, VT_ARRAY | VT_BSTR};
    for (const NamedValue& misclaimed : MisclaimedValues()) {
        for (const VARTYPE type : wanted) {
            SCOPED_TRACE(testing::Message() << misclaimed.name << " to " << type);
            ql::Variant destination;
            EXPECT_TRUE(FAILED(ConvertVariantType(destination.Get(), misclaimed.value.Get(), type, 0, 0)));
            EXPECT_EQ(VT_EMPTY, destination.Type());
        }
    }
}

TEST(ConvertVariantTypeTest, HexTextToByteArray) {
    const struct {
        std::wstring_view text;
        HRESULT hr;
        std::vector<BYTE> bytes;
    } cases[] = {
        {L"0aff", S_OK, {0x0A, 0xFF}}, {L"", S_OK, {}},
        {L"ABC", E_INVALIDARG, {}},    {L"0A F", E_INVALIDARG, {}},
        {L"0A,F", E_INVALIDARG, {}},   {std::wstring_view(L"0A\0F", 4), E_INVALIDARG, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        ql::Variant source = Text(c.text), destination;
        EXPECT_HR(c.hr, ConvertVariantType(destination.Get(), source.Get(), VT_ARRAY | VT_UI1, 0, 0));
        if (c.hr != S_OK) continue;
        EXPECT_EQ(0, LowerBound(*destination));
        EXPECT_EQ(c.bytes, Elements<BYTE>(*destination));
    }
}

TEST(ConvertVariantTypeTest, ElementWiseConversionKeepsBoundsAndPositions) {
    ql::Variant fromFive = MakeArray<LONG>(VT_I4, {1, 2, 3}, 5), destination;
    ASSERT_HR(S_OK, ConvertVariantType(destination.Get(), fromFive.Get(), VT_ARRAY | VT_R8, 0, 0));
    EXPECT_EQ(VT_ARRAY | VT_R8, destination.Type());
    EXPECT_EQ(5, LowerBound(*destination));
    EXPECT_EQ((std::vector<DOUBLE>{1.0, 2.0, 3.0}), Elements<DOUBLE>(*destination));

    // Two dimensions: 2 x 3 elements with lower bounds -1 and 10; each element is 10 * i + j.
    SAFEARRAYBOUND bounds[2] = {{2, -1}, {3, 10}};
    ql::SafeArray grid(::SafeArrayCreate(VT_I2, 2, bounds));
    auto forEachIndex = [](auto&& visit) {
        for (LONG i = -1; i <= 0; ++i) {
            for (LONG j = 10; j <= 12; ++j) visit(i, j);
        }
    };
    forEachIndex([&](LONG i, LONG j) {
        LONG index[2] = {i, j};
        SHORT value = static_cast<SHORT>(10 * i + j);
        EXPECT_HR(S_OK, ::SafeArrayPutElement(grid.Get(), index, &value));
    });
    ql::Variant source;
    source.AttachArray(VT_I2, grid.Detach());
    ASSERT_HR(S_OK, ConvertVariantType(destination.Put(), source.Get(), VT_ARRAY | VT_BSTR, 0, 0));
    EXPECT_EQ(-1, LowerBound(*destination, 1));
    EXPECT_EQ(10, LowerBound(*destination, 2));
    forEachIndex([&](LONG i, LONG j) {
        LONG index[2] = {i, j};
        ql::Bstr element;
        EXPECT_HR(S_OK, ::SafeArrayGetElement(destination->parray, index, element.Put()));
        EXPECT_EQ(std::to_wstring(10 * i + j), element.View());
    });

    const ql::Bstr one(L"1"), letter(L"x");  // real BSTRs: the array copies them by their length prefix
    ql::Variant empty = MakeArray<LONG>(VT_I4, {}),
                words = MakeArray<const wchar_t*>(VT_BSTR, {one.Get(), letter.Get()});
    ql::Variant untouched;
    EXPECT_HR(DISP_E_BADINDEX, ConvertVariantType(untouched.Get(), empty.Get(), VT_ARRAY | VT_R8, 0, 0));
    EXPECT_HR(DISP_E_TYPEMISMATCH,
              ConvertVariantType(untouched.Get(), words.Get(), VT_ARRAY | VT_I4, 0x0409, 0));
    EXPECT_EQ(VT_EMPTY, untouched.Type());
}

// What a record of each type can keep, and the failure that refuses the rest; `out` keeps what it held then.
TEST(ChangeToStoredTypeTest, KeepsOnlyWhatEverySaveCanCarry) {
    ql::Variant halfCharacter, twoDimensions;
    halfCharacter.AttachBstr(::SysAllocStringByteLen("A", 1));
    SAFEARRAYBOUND bounds[2] = {{1, 0}, {2, 0}};
    twoDimensions.AttachArray(VT_UI1, ::SafeArrayCreate(VT_UI1, 2, bounds));
    const struct {
        const char* name;
        ql::Variant value;
        VARTYPE type;
        HRESULT hr;
        const char* stored;
    } cases[] = {
        {"text 7 as UI2", MakeBstr(L"7"), VT_UI2, S_OK, "ui2:7"},
        {"I4 7 as text", MakeI4(7), VT_BSTR, S_OK, "bstr:'7'"},
        {"two bytes as one character", MakeBytes({0x41, 0x00}), VT_BSTR, S_OK, "bstr:'A'"},
        {"one byte as text", MakeBytes({0x41}), VT_BSTR, E_INVALIDARG, nullptr},
        {"half a character as text", std::move(halfCharacter), VT_BSTR, E_INVALIDARG, nullptr},
        {"bytes as UI1", MakeBytes({0x41}), VT_UI1, DISP_E_TYPEMISMATCH, nullptr},
        {"letters as R4", MakeBstr(L"abc"), VT_R4, DISP_E_TYPEMISMATCH, nullptr},
        {"bytes as bytes", MakeBytes({0x0A, 0x1B}), VT_ARRAY | VT_UI1, S_OK, "bytes:0A1B"},
        {"two dimensions of bytes", std::move(twoDimensions), VT_ARRAY | VT_UI1, E_INVALIDARG, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ql::Variant out = MakeI4(-1);
        EXPECT_HR(c.hr, ChangeToStoredType(*c.value, c.type, out));
        EXPECT_EQ(c.stored ? c.stored : "i4:-1", Describe(*out));
    }
}

}  // namespace
