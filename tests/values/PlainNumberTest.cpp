// PlainNumberAsDouble against the platform's conversion to VT_R8: every number type at its edges gives
// the same double bit for bit, or is declined and left to the platform.
#include <cfloat>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/TestVariants.h"
#include "values/PlainNumber.h"

namespace {

struct NumberCase {
    std::string name;
    VARTYPE type;
    LONGLONG bits;  // the value field, in the type's width from its start
};

template <class T>
NumberCase Case(const char* name, VARTYPE type, T value) {
    static_assert(sizeof(T) <= sizeof(LONGLONG), "fits the value field");
    NumberCase c{name, type, 0};
    std::memcpy(&c.bits, &value, sizeof value);
    return c;
}

template <class T>
void AddEdges(std::vector<NumberCase>& cases, const char* name, VARTYPE type) {
    using L = std::numeric_limits<T>;
    for (T value : {L::lowest(), static_cast<T>(L::lowest() + 1), static_cast<T>(-1), T{0}, T{1},
                    static_cast<T>(L::max() - 1), L::max()}) {
        cases.push_back(Case(name, type, value));
    }
}

std::vector<NumberCase> NumberCases() {
    std::vector<NumberCase> cases;
    AddEdges<signed char>(cases, "i1", VT_I1);
    AddEdges<BYTE>(cases, "ui1", VT_UI1);
    AddEdges<SHORT>(cases, "i2", VT_I2);
    AddEdges<USHORT>(cases, "ui2", VT_UI2);
    AddEdges<LONG>(cases, "i4", VT_I4);
    AddEdges<ULONG>(cases, "ui4", VT_UI4);
    AddEdges<INT>(cases, "int", VT_INT);
    AddEdges<UINT>(cases, "uint", VT_UINT);
    AddEdges<LONGLONG>(cases, "i8", VT_I8);
    AddEdges<ULONGLONG>(cases, "ui8", VT_UI8);
    AddEdges<SHORT>(cases, "bool", VT_BOOL);
    AddEdges<SCODE>(cases, "error", VT_ERROR);
    AddEdges<LONGLONG>(cases, "cy", VT_CY);
    // 64-bit integers beyond a double's 53 bits round: halfway cases, both directions.
    for (LONGLONG value : {(1LL << 53) + 1, (1LL << 53) + 3, -(1LL << 53) - 1, (1LL << 62) + 511,
                           (1LL << 62) + 512, (1LL << 62) + 513, (1LL << 62) + 1536}) {
        cases.push_back(Case("i8 rounding", VT_I8, value));
    }
    for (ULONGLONG value : {(1ULL << 63) + 1023, (1ULL << 63) + 1024, (1ULL << 63) + 1025,
                            (1ULL << 63) + 3072, ~0ULL - 1023, ~0ULL - 1024, ~0ULL - 2048}) {
        cases.push_back(Case("ui8 rounding", VT_UI8, value));
    }
    for (float value : {-FLT_MAX, -1.5f, -0.0f, 0.0f, FLT_TRUE_MIN, FLT_MIN, 0.1f, 16777217.0f, FLT_MAX,
                        std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                        std::numeric_limits<float>::quiet_NaN()}) {
        cases.push_back(Case("r4", VT_R4, value));
    }
    for (double value : {-DBL_MAX, -1.5, -0.0, 0.0, DBL_TRUE_MIN, DBL_MIN, 0.1, 9007199254740993.0, DBL_MAX,
                         std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN()}) {
        cases.push_back(Case("r8", VT_R8, value));
        cases.push_back(Case("date", VT_DATE, value));
    }
    return cases;
}

ql::Variant Make(const NumberCase& c) {
    ql::Variant v;
    V_VT(v.Put()) = c.type;
    std::memcpy(&v.Get()->llVal, &c.bits, sizeof c.bits);
    return v;
}

TEST(PlainNumberTest, GivesThePlatformsDoubleOrDeclines) {
    const std::vector<NumberCase> cases = NumberCases();
    for (size_t i = 0; i < cases.size(); ++i) {
        const NumberCase& c = cases[i];
        SCOPED_TRACE(c.name + " #" + std::to_string(i));
        const ql::Variant value = Make(c);
        ql::Variant platform;
        const HRESULT converted =
            ::VariantChangeType(platform.Get(), const_cast<VARIANT*>(value.Get()), 0, VT_R8);
        double fast = 12345.0;
        if (!PlainNumberAsDouble(*value.Get(), &fast)) {
            EXPECT_EQ(12345.0, fast) << "a declined value leaves the number untouched";
            continue;
        }
        ASSERT_EQ(S_OK, converted) << "a number the platform does not convert must be declined";
        const double expected = V_R8(platform.Get());
        EXPECT_EQ(0, std::memcmp(&expected, &fast, sizeof fast))
            << "platform " << expected << ", fast " << fast;
    }
}

// Everything the fast reading takes is a number the range checks meet; the rest goes to the platform.
TEST(PlainNumberTest, DeclinesWhatIsNoPlainNumber) {
    const VARTYPE declined[] = {VT_EMPTY,   VT_NULL,          VT_BSTR,          VT_CY,
                                VT_DATE,    VT_DECIMAL,       VT_ERROR,         VT_VARIANT,
                                VT_UNKNOWN, VT_I4 | VT_BYREF, VT_UI1 | VT_ARRAY};
    for (VARTYPE type : declined) {
        SCOPED_TRACE(type);
        VARIANT value;
        ::VariantInit(&value);
        V_VT(&value) = type;
        double number = 7.0;
        EXPECT_FALSE(PlainNumberAsDouble(value, &number));
        EXPECT_EQ(7.0, number);
    }
}

}  // namespace
