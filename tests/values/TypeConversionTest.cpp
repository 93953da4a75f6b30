// ConvertBetweenVarTypes: the matrix of platform routines, the boolean text rule and the flags the text
// routines receive.
#include <cstring>

#include "ValueTestSupport.h"
#include "classlib/Bstr.h"
#include "values/ScalarTypes.h"
#include "values/TypeConversion.h"

namespace {

// An automation object whose default value is a VT_I4.
class DefaultValueObject final : public IDispatch {
public:
    explicit DefaultValueObject(LONG value) : value_(value) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = (iid == IID_IUnknown || iid == IID_IDispatch) ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        if (id != DISPID_VALUE || !result) return DISP_E_MEMBERNOTFOUND;
        V_VT(result) = VT_I4;
        result->lVal = value_;
        return S_OK;
    }

private:
    LONG value_;
};

// Every source type of the matrix with a value that converts to 1 (VT_BOOL: to 0) in every destination.
ql::Variant SourceOfOne(VARTYPE type, IDispatch* object) {
    ql::Variant v;
    switch (type) {
        case VT_BSTR:
            v = MakeBstr(L"1");
            break;
        case VT_DISPATCH:
            v.SetDispatch(object);
            break;
        case VT_BOOL:
            v.SetBool(false);
            break;
        default: {
            ql::Variant one;
            one.SetI4(1);
            EXPECT_EQ(S_OK, ::VariantChangeType(v.Get(), one.Get(), 0,
                                                type == VT_INT ? static_cast<VARTYPE>(VT_I4) : type));
            if (type == VT_INT) v.Get()->vt = VT_INT;
        }
    }
    return v;
}

const VARTYPE kSources[] = {VT_I2,   VT_I4,      VT_R4, VT_R8,  VT_CY,  VT_DATE, VT_BSTR, VT_DISPATCH,
                            VT_BOOL, VT_DECIMAL, VT_I1, VT_UI1, VT_UI2, VT_UI4,  VT_INT};
const VARTYPE kDestinations[] = {VT_I2,   VT_I4,      VT_R4, VT_R8,  VT_CY,  VT_DATE, VT_BSTR,
                                 VT_BOOL, VT_DECIMAL, VT_I1, VT_UI1, VT_UI2, VT_UI4};

// Each cell must call the routine of its own pair: a routine of a neighbouring column reads the value in
// the wrong width and gives another number.
TEST(ConvertBetweenVarTypesTest, EveryCellOfTheMatrixConvertsItsOwnPair) {
    DefaultValueObject object(1);
    for (VARTYPE to : kDestinations) {
        for (VARTYPE from : kSources) {
            if (from == to) continue;
            SCOPED_TRACE(testing::Message() << "from " << from << " to " << to);
            const ql::Variant source = SourceOfOne(from, &object);
            ql::Variant result;
            const HRESULT hr =
                ConvertScalarToVariant(ScalarValueLocation(*source, from), from, to, 0x0409, 0, result);
            if (from == VT_INT && to != VT_I4) {
                EXPECT_HR(DISP_E_TYPEMISMATCH, hr);
                continue;
            }
            // The text "1" is no date: the platform's refusal is passed on.
            if (from == VT_BSTR && to == VT_DATE) {
                EXPECT_HR(DISP_E_TYPEMISMATCH, hr);
                continue;
            }
            ASSERT_HR(S_OK, hr);
            ASSERT_EQ(to, result.Type());
            if (to == VT_BSTR && from == VT_DATE) continue;  // a date's text is no number
            ql::Variant number;
            ASSERT_HR(S_OK, ::VariantChangeTypeEx(number.Get(), result.Get(), 0x0409, 0, VT_R8));
            const double expected = from == VT_BOOL ? 0.0 : (to == VT_BOOL ? -1.0 : 1.0);
            EXPECT_EQ(expected, number->dblVal);
        }
    }
}

TEST(ConvertBetweenVarTypesTest, BooleanTextIsTheNumberUnlessAlphaBoolIsAsked) {
    struct Case {
        const char* name;
        VARIANT_BOOL value;
        ULONG flags;
        LCID lcid;
        const wchar_t* text;
    } cases[] = {
        {"true without ALPHABOOL", VARIANT_TRUE, 0, 0x0409, L"-1"},
        {"false without ALPHABOOL", VARIANT_FALSE, 0, 0x0409, L"0"},
        {"1 is not VARIANT_TRUE", 1, 0, 0x0409, L"0"},
        {"LOCALBOOL alone is no ALPHABOOL", VARIANT_TRUE, VARIANT_LOCALBOOL, 0x0407, L"-1"},
        {"ALPHABOOL gives the word", VARIANT_TRUE, VARIANT_ALPHABOOL, 0x0409, L"True"},
        {"ALPHABOOL false", VARIANT_FALSE, VARIANT_ALPHABOOL, 0x0409, L"False"},
        // LOCALBOOL reaches the platform routine with the locale: the German word proves both arrive.
        {"ALPHABOOL with LOCALBOOL", VARIANT_TRUE, VARIANT_ALPHABOOL | VARIANT_LOCALBOOL, 0x0407, L"Wahr"},
        {"flags 0x17", VARIANT_TRUE, 0x17, 0x0407, L"Wahr"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ql::Bstr text;
        EXPECT_HR(S_OK, ConvertBetweenVarTypes(&c.value, text.Put(), VT_BOOL, VT_BSTR, c.lcid, c.flags));
        EXPECT_EQ(c.text, std::wstring(text.View()));
    }
}

TEST(ConvertBetweenVarTypesTest, TextRoutinesReceiveTheDerivedFlags) {
    struct Case {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << c.flags);
        EXPECT_EQ(c.textFlags, TextFlagsFromConversionFlags(c.flags));
    }
    // The locale id reaches the text routines too.
    const DOUBLE value = 2.5;
    ql::Bstr text;
    EXPECT_HR(S_OK, ConvertBetweenVarTypes(&value, text.Put(), VT_R8, VT_BSTR, 0x0407, 0));
    EXPECT_EQ(L"2,5", std::wstring(text.View()));
}

TEST(ConvertBetweenVarTypesTest, PairsOutsideTheMatrixAndNullPointersWriteNothing) {
    struct Case {
        const char* name;
        VARTYPE from, to;
        HRESULT hr;
    } cases[] = {
        {"I8 to I4", VT_I8, VT_I4, DISP_E_TYPEMISMATCH},
        {"I4 to I8", VT_I4, VT_I8, DISP_E_TYPEMISMATCH},
        {"UINT to I4", VT_UINT, VT_I4, DISP_E_TYPEMISMATCH},
        {"EMPTY to I2", VT_EMPTY, VT_I2, DISP_E_TYPEMISMATCH},
        {"I2 to DISPATCH", VT_I2, VT_DISPATCH, DISP_E_TYPEMISMATCH},
        {"INT to I2", VT_INT, VT_I2, DISP_E_TYPEMISMATCH},
        {"array code", VT_ARRAY | VT_I2, VT_I4, DISP_E_TYPEMISMATCH},
    };
    unsigned char source[16] = {1}, destination[16];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(destination, 0xCD, sizeof destination);
        EXPECT_HR(c.hr, ConvertBetweenVarTypes(source, destination, c.from, c.to, 0, 0));
        EXPECT_EQ(0xCD, destination[0]);
    }
    EXPECT_HR(E_INVALIDARG, ConvertBetweenVarTypes(source, nullptr, VT_I2, VT_I2, 0, 0));
    EXPECT_HR(E_INVALIDARG, ConvertBetweenVarTypes(nullptr, destination, VT_I2, VT_I4, 0, 0));
}

TEST(ConvertBetweenVarTypesTest, EqualTypesCopyTheWholeValue) {
    const DOUBLE r8 = -1234.5678;
    DOUBLE r8Copy = 0;
    EXPECT_HR(S_OK, ConvertBetweenVarTypes(&r8, &r8Copy, VT_R8, VT_R8, 0, 0));
    EXPECT_EQ(r8, r8Copy);

    DECIMAL decimal{}, decimalCopy{};
    ASSERT_HR(S_OK, ::VarDecFromR8(-98765.4321, &decimal));
    EXPECT_HR(S_OK, ConvertBetweenVarTypes(&decimal, &decimalCopy, VT_DECIMAL, VT_DECIMAL, 0, 0));
    EXPECT_EQ(0, std::memcmp(&decimal, &decimalCopy, sizeof decimal));

    BSTR copy = nullptr;
    {
        ql::Bstr original(L"Flow");
        const BSTR raw = original.Get();
        EXPECT_HR(S_OK, ConvertBetweenVarTypes(&raw, &copy, VT_BSTR, VT_BSTR, 0, 0));
        EXPECT_NE(raw, copy);
    }
    ql::Bstr owned;
    owned.Attach(copy);
    EXPECT_EQ(L"Flow", std::wstring(owned.View()));

    const INT machineValues[] = {7, -1};
    for (INT value : machineValues) {
        LONG result = 0;
        EXPECT_HR(S_OK, ConvertBetweenVarTypes(&value, &result, VT_INT, VT_I4, 0, 0));
        EXPECT_EQ(value, result);
    }
}

}  // namespace
