// ConvertBetweenVarTypes: the matrix of platform routines, the boolean text rule and the flags the text
// routines receive.
#include <cstring>

#include "classlib/Bstr.h"
#include "tests/support/HResultText.h"
#include "tests/support/TestObjects.h"
#include "tests/support/TestVariants.h"
#include "values/ScalarTypes.h"
#include "values/TypeConversion.h"

namespace {

using namespace vtest;

// Every source type of the matrix with a value that converts to 1 (VT_BOOL: to 0) in every destination.
ql::Variant SourceOfOne(VARTYPE type, IDispatch* object) {
    ql::Variant v;
    if (type == VT_BSTR) return MakeBstr(L"1");
    if (type == VT_DISPATCH) {
        v.SetDispatch(object);
    } else if (type == VT_BOOL) {
        v.SetBool(false);
    } else {
        EXPECT_EQ(S_OK,
                  ::VariantChangeType(v.Get(), MakeI4(1).Get(), 0, type == VT_INT ? VARTYPE(VT_I4) : type));
        if (type == VT_INT) v.Get()->vt = VT_INT;
    }
    return v;
}

// Each cell must call the routine of its own pair: a routine of a neighbouring column reads the value in
// the wrong width and gives another number.
TEST(ConvertBetweenVarTypesTest, EveryCellOfTheMatrixConvertsItsOwnPair) {
    const VARTYPE sources[] = {VT_I2,   VT_I4,      VT_R4, VT_R8,  VT_CY,  VT_DATE, VT_BSTR, VT_DISPATCH,
                               VT_BOOL, VT_DECIMAL, VT_I1, VT_UI1, VT_UI2, VT_UI4,  VT_INT};
    const VARTYPE destinations[] = {VT_I2,   VT_I4,      VT_R4, VT_R8,  VT_CY,  VT_DATE, VT_BSTR,
                                    VT_BOOL, VT_DECIMAL, VT_I1, VT_UI1, VT_UI2, VT_UI4};
    DefaultValueObject object(1);
    for (VARTYPE to : destinations) {
        for (VARTYPE from : sources) {
            if (from == to) continue;
            SCOPED_TRACE(testing::Message() << "from " << from << " to " << to);
            const ql::Variant source = SourceOfOne(from, &object);
            ql::Variant result;
            const HRESULT hr =
                ConvertScalarToVariant(ScalarValueLocation(*source, from), from, to, 0x0409, 0, result);
            // INT only converts to I4; the text "1" is no date: the platform's refusal is passed on.
            if ((from == VT_INT && to != VT_I4) || (from == VT_BSTR && to == VT_DATE)) {
                EXPECT_HR(DISP_E_TYPEMISMATCH, hr);
                continue;
            }
            ASSERT_HR(S_OK, hr);
            ASSERT_EQ(to, result.Type());
            if (to == VT_BSTR && from == VT_DATE) continue;  // a date's text is no number
            ql::Variant number;
            ASSERT_HR(S_OK, ::VariantChangeTypeEx(number.Get(), result.Get(), 0x0409, 0, VT_R8));
            EXPECT_EQ(from == VT_BOOL ? 0.0 : (to == VT_BOOL ? -1.0 : 1.0), number->dblVal);
        }
    }
    EXPECT_EQ(1u, object.refs);
}

TEST(ConvertBetweenVarTypesTest, BooleanTextIsTheNumberUnlessAlphaBoolIsAsked) {
    const struct {
        const char* name;
        VARIANT_BOOL value;
        ULONG flags;
        LCID lcid;
        const wchar_t* text;
    } cases[] = {
        {"true without ALPHABOOL", VARIANT_TRUE, 0, 0x0409, L"-1"},
        {"1 is not VARIANT_TRUE", 1, 0, 0x0409, L"0"},
        {"ALPHABOOL gives the word", VARIANT_TRUE, VARIANT_ALPHABOOL, 0x0409, L"True"},
        // LOCALBOOL reaches the platform routine with the locale: the German word proves both arrive.
        {"ALPHABOOL with LOCALBOOL", VARIANT_TRUE, VARIANT_ALPHABOOL | VARIANT_LOCALBOOL, 0x0407, L"Wahr"},
        {"flags 0x17", VARIANT_TRUE, 0x17, 0x0407, L"Wahr"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ql::Bstr text;
        EXPECT_HR(S_OK, ConvertBetweenVarTypes(&c.value, text.Put(), VT_BOOL, VT_BSTR, c.lcid, c.flags));
        EXPECT_EQ(c.text, text.View());
    }
}

TEST(ConvertBetweenVarTypesTest, TextRoutinesReceiveTheDerivedFlagsAndTheLocale) {
    const struct {
        ULONG flags;
        ULONG textFlags;
    } cases[] = {
        {0, 0},
        {VARIANT_NOVALUEPROP | VARIANT_ALPHABOOL, 0},
        {VARIANT_NOUSEROVERRIDE, LOCALE_NOUSEROVERRIDE},
        {0x17, LOCALE_NOUSEROVERRIDE | 0x10},
        {VARIANT_CALENDAR_HIJRI, VARIANT_CALENDAR_HIJRI},
        {0x100, 0x100},
    };
    for (const auto& c : cases) EXPECT_EQ(c.textFlags, TextFlagsFromConversionFlags(c.flags)) << c.flags;
    const DOUBLE value = 2.5;
    ql::Bstr text;
    EXPECT_HR(S_OK, ConvertBetweenVarTypes(&value, text.Put(), VT_R8, VT_BSTR, 0x0407, 0));
    EXPECT_EQ(L"2,5", text.View());
}

TEST(ConvertBetweenVarTypesTest, PairsOutsideTheMatrixAndNullPointersWriteNothing) {
    const VARTYPE pairs[][2] = {{VT_I8, VT_I4},           {VT_I4, VT_I8},       {VT_UINT, VT_I4},
                                {VT_EMPTY, VT_I2},        {VT_I2, VT_DISPATCH}, {VT_INT, VT_I2},
                                {VT_ARRAY | VT_I2, VT_I4}};
    unsigned char source[16] = {1}, destination[16];
    for (const auto& pair : pairs) {
        SCOPED_TRACE(testing::Message() << pair[0] << " to " << pair[1]);
        std::memset(destination, 0xCD, sizeof destination);
        EXPECT_HR(DISP_E_TYPEMISMATCH, ConvertBetweenVarTypes(source, destination, pair[0], pair[1], 0, 0));
        EXPECT_EQ(0xCD, destination[0]);
    }
    EXPECT_HR(E_INVALIDARG, ConvertBetweenVarTypes(source, nullptr, VT_I2, VT_I2, 0, 0));
    EXPECT_HR(E_INVALIDARG, ConvertBetweenVarTypes(nullptr, destination, VT_I2, VT_I4, 0, 0));
}

}  // namespace
