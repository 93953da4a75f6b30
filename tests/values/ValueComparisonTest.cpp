// IsVariantEqual: the first value's type chooses the rule.
#include <cstring>
#include <functional>

#include "tests/support/TestObjects.h"
#include "tests/support/TestVariants.h"
#include "values/ValueComparison.h"

namespace {

using namespace vtest;
using Maker = std::function<ql::Variant()>;

template <class T>
Maker Scalar(VARTYPE vt, T value) {
    static_assert(sizeof(T) <= sizeof(LONGLONG), "fits the value field");
    return [vt, value] {
        ql::Variant v;
        V_VT(v.Put()) = vt;
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
Maker Object(IUnknown* object) {
    return [object] {
        ql::Variant v;
        v.SetUnknown(object);
        return v;
    };
}
Maker Bytes(std::vector<BYTE> bytes, LONG lowerBound) {
    return [bytes, lowerBound] { return MakeBytes(bytes, lowerBound); };
}
Maker DateText(DATE date) {
    return [date] {
        ql::Variant d = Scalar(VT_DATE, date)(), text;
        EXPECT_EQ(S_OK, ::VariantChangeType(text.Get(), d.Get(), 0, VT_BSTR));
        return text;
    };
}

TEST(IsVariantEqualTest, RulesByTheFirstValuesType) {
    CountedObject<IUnknown> object;
    CY cy{};
    cy.int64 = 50000;
    DECIMAL four{};
    ASSERT_EQ(S_OK, ::VarDecFromI4(4, &four));
    const Maker empty = Scalar(VT_EMPTY, 0), null = Scalar(VT_NULL, 0);
    const Maker decimal = [&four] {
        ql::Variant v;
        v.Put()->decVal = four;
        V_VT(v.Get()) = VT_DECIMAL;
        return v;
    };
    const struct {
        const char* name;
        Maker first, second;
        BOOL equal;
    } cases[] = {
        {"empty, empty", empty, empty, TRUE},
        {"null, null", null, null, TRUE},
        {"empty, null", empty, null, FALSE},
        {"UI2 5 first equals I4 5", Scalar(VT_UI2, USHORT{5}), Scalar(VT_I4, LONG{5}), TRUE},
        {"I4 5 first differs from UI2 5", Scalar(VT_I4, LONG{5}), Scalar(VT_UI2, USHORT{5}), FALSE},
        {"UI4 looks at 32 bits only", Scalar(VT_UI4, ULONG{9}), Scalar(VT_I8, LONGLONG{0x100000009}), TRUE},
        {"UI1 5, I4 5", Scalar(VT_UI1, BYTE{5}), Scalar(VT_I4, LONG{5}), FALSE},
        {"BOOL true, BOOL 1", Scalar(VT_BOOL, VARIANT_TRUE), Scalar(VT_BOOL, VARIANT_BOOL{1}), FALSE},
        {"R4 0.5, R8 0.5", Scalar(VT_R4, 0.5f), Scalar(VT_R8, 0.5), FALSE},
        {"CY same amount", Scalar(VT_CY, cy), Scalar(VT_CY, cy), FALSE},
        {"DECIMAL same value", decimal, decimal, FALSE},
        {"abc, ABC", Text(L"abc", 3), Text(L"ABC", 3), FALSE},
        {"embedded NUL counts", Text(L"a\0b", 3), Text(L"a\0c", 3), FALSE},
        {"same object", Object(&object), Object(&object), TRUE},
        {"date and its text", Scalar(VT_DATE, DATE{45000.5}), DateText(45000.5), TRUE},
        {"bytes with other lower bounds", Bytes({1, 2, 3}, 0), Bytes({1, 2, 3}, 1), TRUE},
        {"bytes differ", Bytes({1, 2, 3}, 0), Bytes({1, 2, 4}, 0), FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ql::Variant first = c.first(), second = c.second();
        EXPECT_EQ(c.equal, IsVariantEqual(*first, *second));
    }
    EXPECT_EQ(1u, object.refs);
}

}  // namespace
