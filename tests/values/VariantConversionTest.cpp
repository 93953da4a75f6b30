// ConvertVariantType: the platform's conversion plus empty text, hexadecimal text and the array rules.
#include "ValueTestSupport.h"
#include "classlib/Bstr.h"
#include "values/VariantConversion.h"

namespace {

struct ScalarCase {
    const char* name;
    ql::Variant (*source)();
    VARTYPE wanted;
    HRESULT hr;
    const wchar_t* text;  // the result's US English text when hr is S_OK
};

ql::Variant EmptyText() { return MakeBstr(L""); }
ql::Variant NullText() {
    ql::Variant v;
    v.AttachBstr(nullptr);
    return v;
}
ql::Variant Blank() { return MakeBstr(L" "); }
ql::Variant Bytes0AFF() { return MakeBytes({0x0A, 0xFF}); }
ql::Variant NoBytes() { return MakeBytes({}); }
ql::Variant SevenEightFromOne() { return MakeArray<LONG>(VT_I4, {7, 8}, 1); }
ql::Variant NoLongs() { return MakeArray<LONG>(VT_I4, {}); }
ql::Variant Large() {
    ql::Variant v;
    v.SetI4(70000);
    return v;
}

TEST(ConvertVariantTypeTest, ScalarResults) {
    const ScalarCase cases[] = {
        {"empty text to R8", EmptyText, VT_R8, S_OK, L"0"},
        {"empty text to BOOL", EmptyText, VT_BOOL, S_OK, L"False"},
        {"empty text to I4", EmptyText, VT_I4, S_OK, L"0"},
        {"null text to UI1", NullText, VT_UI1, S_OK, L"0"},
        {"empty text to DECIMAL is the platform's", EmptyText, VT_DECIMAL, DISP_E_TYPEMISMATCH, nullptr},
        {"a blank is no empty text", Blank, VT_I4, DISP_E_TYPEMISMATCH, nullptr},
        {"byte array to text", Bytes0AFF, VT_BSTR, S_OK, L"0AFF"},
        {"empty byte array to text", NoBytes, VT_BSTR, S_OK, L""},
        {"array with lower bound 1 to I2", SevenEightFromOne, VT_I2, S_OK, L"7"},
        {"array to text takes the first element", SevenEightFromOne, VT_BSTR, S_OK, L"7"},
        {"empty array to scalar", NoLongs, VT_I2, DISP_E_BADINDEX, nullptr},
        {"scalar refusal is the platform's", Large, VT_I2, DISP_E_OVERFLOW, nullptr},
    };
    for (const ScalarCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ql::Variant source = c.source();
        ql::Variant destination;
        EXPECT_HR(c.hr, ConvertVariantType(destination.Get(), source.Get(), c.wanted, 0, 0));
        if (c.hr == S_OK) {
            EXPECT_EQ(c.wanted, destination.Type());
            EXPECT_EQ(c.text, TextOf(*destination));
        } else {
            EXPECT_EQ(VT_EMPTY, destination.Type());  // written only on success
        }
    }
}

TEST(ConvertVariantTypeTest, HexTextToByteArray) {
    struct Case {
        const char* name;
        const wchar_t* text;
        UINT length;
        HRESULT hr;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"either case", L"0aff", 4, S_OK, {0x0A, 0xFF}},
        {"empty text", L"", 0, S_OK, {}},
        {"odd length", L"ABC", 3, E_INVALIDARG, {}},
        {"blank between pairs", L"0A F", 4, E_INVALIDARG, {}},
        {"separator between pairs", L"0A,F", 4, E_INVALIDARG, {}},
        {"embedded NUL", L"0A\0F", 4, E_INVALIDARG, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ql::Variant source;
        ql::Bstr text;
        ASSERT_EQ(S_OK, text.Assign(std::wstring_view(c.text, c.length)));
        source.AttachBstr(text.Detach());
        ql::Variant destination;
        EXPECT_HR(c.hr, ConvertVariantType(destination.Get(), source.Get(), VT_ARRAY | VT_UI1, 0, 0));
        if (c.hr != S_OK) continue;
        EXPECT_EQ(VT_ARRAY | VT_UI1, destination.Type());
        EXPECT_EQ(0, LowerBound(*destination));
        EXPECT_EQ(c.bytes, Elements<BYTE>(*destination));
    }
}

TEST(ConvertVariantTypeTest, ScalarsAndEmptyValuesBecomeArrays) {
    ql::Variant i4, r8, destination;
    i4.SetI4(5);
    ASSERT_HR(S_OK, ConvertVariantType(destination.Get(), i4.Get(), VT_ARRAY | VT_I4, 0, 0));
    EXPECT_EQ(VT_ARRAY | VT_I4, destination.Type());
    EXPECT_EQ(0, LowerBound(*destination));
    EXPECT_EQ(std::vector<LONG>{5}, Elements<LONG>(*destination));

    r8.SetR8(2.5);
    ASSERT_HR(S_OK, ConvertVariantType(destination.Put(), r8.Get(), VT_ARRAY | VT_R8, 0, 0));
    EXPECT_EQ(std::vector<DOUBLE>{2.5}, Elements<DOUBLE>(*destination));

    ql::Variant text = MakeBstr(L"x");
    ASSERT_HR(S_OK, ConvertVariantType(destination.Put(), text.Get(), VT_ARRAY | VT_BSTR, 0, 0));
    const std::vector<BSTR> strings = Elements<BSTR>(*destination);
    ASSERT_EQ(1u, strings.size());
    EXPECT_NE(text->bstrVal, strings[0]);  // the array's own copy
    EXPECT_STREQ(L"x", strings[0]);
    EXPECT_STREQ(L"x", text->bstrVal);

    ql::Variant nothing, null;
    null.Put()->vt = VT_NULL;
    for (ql::Variant* source : {&nothing, &null}) {
        ASSERT_HR(S_OK, ConvertVariantType(destination.Put(), source->Get(), VT_ARRAY | VT_I2, 0, 0));
        EXPECT_EQ(VT_ARRAY | VT_I2, destination.Type());
        EXPECT_TRUE(Elements<SHORT>(*destination).empty());
    }
}

TEST(ConvertVariantTypeTest, ElementWiseConversionKeepsBoundsAndPositions) {
    const ql::Variant fromFive = MakeArray<LONG>(VT_I4, {1, 2, 3}, 5);
    ql::Variant destination;
    ASSERT_HR(S_OK, ConvertVariantType(destination.Get(), fromFive.Get(), VT_ARRAY | VT_R8, 0, 0));
    EXPECT_EQ(VT_ARRAY | VT_R8, destination.Type());
    EXPECT_EQ(5, LowerBound(*destination));
    EXPECT_EQ((std::vector<DOUBLE>{1.0, 2.0, 3.0}), Elements<DOUBLE>(*destination));

    // Two dimensions: 2 x 3 elements with lower bounds -1 and 10; each element is 10 * i + j.
    SAFEARRAYBOUND bounds[2] = {{2, -1}, {3, 10}};
    ql::SafeArray grid(::SafeArrayCreate(VT_I2, 2, bounds));
    ASSERT_NE(nullptr, grid.Get());
    for (LONG i = -1; i <= 0; ++i) {
        for (LONG j = 10; j <= 12; ++j) {
            LONG index[2] = {i, j};
            SHORT value = static_cast<SHORT>(10 * i + j);
            ASSERT_HR(S_OK, ::SafeArrayPutElement(grid.Get(), index, &value));
        }
    }
    ql::Variant source;
    source.AttachArray(VT_I2, grid.Detach());
    ASSERT_HR(S_OK, ConvertVariantType(destination.Put(), source.Get(), VT_ARRAY | VT_BSTR, 0, 0));
    EXPECT_EQ(-1, LowerBound(*destination, 1));
    EXPECT_EQ(10, LowerBound(*destination, 2));
    for (LONG i = -1; i <= 0; ++i) {
        for (LONG j = 10; j <= 12; ++j) {
            LONG index[2] = {i, j};
            ql::Bstr element;
            ASSERT_HR(S_OK, ::SafeArrayGetElement(destination->parray, index, element.Put()));
            EXPECT_EQ(std::to_wstring(10 * i + j), std::wstring(element.View()));
        }
    }

    const ql::Variant empty = MakeArray<LONG>(VT_I4, {});
    ql::Variant untouched;
    EXPECT_HR(DISP_E_BADINDEX, ConvertVariantType(untouched.Get(), empty.Get(), VT_ARRAY | VT_R8, 0, 0));
    EXPECT_EQ(VT_EMPTY, untouched.Type());
    const ql::Variant words = MakeArray<const wchar_t*>(VT_BSTR, {L"1", L"x"});
    EXPECT_HR(DISP_E_TYPEMISMATCH,
              ConvertVariantType(untouched.Get(), words.Get(), VT_ARRAY | VT_I4, 0x0409, 0));
    EXPECT_EQ(VT_EMPTY, untouched.Type());
}

TEST(ConvertVariantTypeTest, InPlaceAndArgumentChecks) {
    ql::Variant value = MakeBytes({0x0A, 0x1B});
    ASSERT_HR(S_OK, ConvertVariantType(value.Get(), value.Get(), VT_BSTR, 0, 0));
    EXPECT_EQ(VT_BSTR, value.Type());
    EXPECT_STREQ(L"0A1B", value->bstrVal);

    ql::Variant seven;
    seven.SetI4(7);
    EXPECT_HR(S_OK, ConvertVariantType(seven.Get(), seven.Get(), VT_I4, 0, 0));
    EXPECT_EQ(7, seven->lVal);

    ql::Variant copy;
    EXPECT_HR(S_OK, ConvertVariantType(copy.Get(), value.Get(), VT_BSTR, 0, 0));
    EXPECT_NE(value->bstrVal, copy->bstrVal);

    EXPECT_HR(E_INVALIDARG, ConvertVariantType(nullptr, seven.Get(), VT_I2, 0, 0));
    EXPECT_HR(E_INVALIDARG, ConvertVariantType(seven.Get(), nullptr, VT_I2, 0, 0));
}

}  // namespace
