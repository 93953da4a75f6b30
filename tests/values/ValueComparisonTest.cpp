// IsVariantEqual: the first value's type chooses the rule.
#include <cstring>
#include <functional>

#include "ValueTestSupport.h"
#include "values/ValueComparison.h"

namespace {

using Maker = std::function<ql::Variant()>;

// An object whose references need no counting: the values in these cases release it freely.
class StaticUnknown final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        return *out = nullptr, E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

template <class T>
Maker Scalar(VARTYPE vt, T value) {
    return [vt, value] {
        ql::Variant v;
        V_VT(v.Put()) = vt;
        static_assert(sizeof(T) <= sizeof(LONGLONG), "fits the value field");
        std::memcpy(&v.Get()->llVal, &value, sizeof value);
        return v;
    };
}
Maker Text(const wchar_t* text, UINT length) {
    return [text, length] {
        ql::Variant v;
        v.AttachBstr(text ? ::SysAllocStringLen(text, length) : nullptr);
        return v;
    };
}
Maker Bytes(std::vector<BYTE> bytes, LONG lowerBound) {
    return [bytes, lowerBound] { return MakeBytes(bytes, lowerBound); };
}
Maker NullByteArray() {
    return [] {
        ql::Variant v;
        v.AttachArray(VT_UI1, nullptr);
        return v;
    };
}
Maker DateText(DATE date) {
    return [date] {
        ql::Variant d = Scalar(VT_DATE, date)(), text;
        EXPECT_EQ(S_OK, ::VariantChangeType(text.Get(), d.Get(), 0, VT_BSTR));
        return text;
    };
}

TEST(IsVariantEqualTest, RulesByTheFirstValuesType) {
    static StaticUnknown object, otherObject;
    IUnknown* const someObject = &object;
    IUnknown* const anotherObject = &otherObject;
    CY cy{};
    cy.int64 = 50000;
    const Maker empty = Scalar(VT_EMPTY, 0), null = Scalar(VT_NULL, 0);
    struct Case {
        const char* name;
        Maker first, second;
        BOOL equal;
    } cases[] = {
        {"empty, empty", empty, empty, TRUE},
        {"null, null", null, null, TRUE},
        {"empty, null", empty, null, FALSE},
        {"empty, empty text", empty, Text(L"", 0), FALSE},
        {"UI2 5 first equals I4 5", Scalar(VT_UI2, USHORT{5}), Scalar(VT_I4, LONG{5}), TRUE},
        {"I4 5 first differs from UI2 5", Scalar(VT_I4, LONG{5}), Scalar(VT_UI2, USHORT{5}), FALSE},
        {"UI4 looks at 32 bits only", Scalar(VT_UI4, ULONG{9}), Scalar(VT_I8, LONGLONG{0x100000009}), TRUE},
        {"I1 looks at 8 bits only", Scalar(VT_I1, CHAR{-1}), Scalar(VT_UI2, USHORT{0x12FF}), TRUE},
        {"UI1 5, I4 5", Scalar(VT_UI1, BYTE{5}), Scalar(VT_I4, LONG{5}), FALSE},
        {"I4 5, UI1 5", Scalar(VT_I4, LONG{5}), Scalar(VT_UI1, BYTE{5}), FALSE},
        {"I4 equal", Scalar(VT_I4, LONG{-7}), Scalar(VT_I4, LONG{-7}), TRUE},
        {"ERROR equal", Scalar(VT_ERROR, E_FAIL), Scalar(VT_ERROR, E_FAIL), TRUE},
        {"BOOL true, BOOL 1", Scalar(VT_BOOL, VARIANT_TRUE), Scalar(VT_BOOL, VARIANT_BOOL{1}), FALSE},
        {"R8 0, R8 -0", Scalar(VT_R8, 0.0), Scalar(VT_R8, -0.0), TRUE},
        {"R4 0.5, R8 0.5", Scalar(VT_R4, 0.5f), Scalar(VT_R8, 0.5), FALSE},
        {"CY same amount", Scalar(VT_CY, cy), Scalar(VT_CY, cy), FALSE},
        {"I8 same value", Scalar(VT_I8, LONGLONG{3}), Scalar(VT_I8, LONGLONG{3}), FALSE},
        {"abc, ABC", Text(L"abc", 3), Text(L"ABC", 3), FALSE},
        {"null text, empty text", Text(nullptr, 0), Text(L"", 0), TRUE},
        {"embedded NUL counts", Text(L"a\0b", 3), Text(L"a\0c", 3), FALSE},
        {"same object", Scalar(VT_UNKNOWN, someObject), Scalar(VT_UNKNOWN, someObject), TRUE},
        {"other object", Scalar(VT_UNKNOWN, someObject), Scalar(VT_UNKNOWN, anotherObject), FALSE},
        {"date and its text", Scalar(VT_DATE, DATE{45000.5}), DateText(45000.5), TRUE},
        {"date and another date's text", Scalar(VT_DATE, DATE{45000.5}), DateText(45001.5), FALSE},
        {"date and null", Scalar(VT_DATE, DATE{45000.5}), null, FALSE},
        {"bytes with other lower bounds", Bytes({1, 2, 3}, 0), Bytes({1, 2, 3}, 1), TRUE},
        {"bytes differ", Bytes({1, 2, 3}, 0), Bytes({1, 2, 4}, 0), FALSE},
        {"bytes and a shorter array", Bytes({1, 2, 3}, 0), Bytes({1, 2}, 0), FALSE},
        {"no bytes, no bytes", Bytes({}, 0), Bytes({}, 0), TRUE},
        {"null byte arrays", NullByteArray(), NullByteArray(), FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ql::Variant first = c.first(), second = c.second();
        EXPECT_EQ(c.equal, IsVariantEqual(*first, *second));
    }

    DECIMAL decimal{};
    ASSERT_EQ(S_OK, ::VarDecFromI4(4, &decimal));
    VARIANT a{}, b{};
    a.decVal = b.decVal = decimal;
    V_VT(&a) = V_VT(&b) = VT_DECIMAL;
    EXPECT_FALSE(IsVariantEqual(a, b));
    const ql::Variant longs = MakeArray<LONG>(VT_I4, {1});
    EXPECT_FALSE(IsVariantEqual(*longs, *longs));
}

}  // namespace
