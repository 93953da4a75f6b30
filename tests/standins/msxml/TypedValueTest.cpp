// Typed values per data type: the kind the COM layer maps to a VARIANT type,
// the value, and the texts each type refuses.
#include "TestSupport.h"

#include "TypedValue.h"

#include <gtest/gtest.h>

#include <cmath>

namespace msxml_core::test {
namespace {

using Kind = TypedValue::Kind;

struct ValueCase {
    const char* type;
    const char* text;
    bool valid;
    Kind kind;
    double number;  // integer, unsigned, real or date as a double; 1/0 for Bool
};

const ValueCase kValues[] = {
    {"i1", "-128", true, Kind::I1, -128},
    {"i2", "-32768", true, Kind::I2, -32768},
    {"i4", " 12 ", true, Kind::I4, 12},
    {"i4", "", false, Kind::I4, 0},
    {"i8", "-9223372036854775808", true, Kind::I8, -9223372036854775808.0},
    {"ui1", "255", true, Kind::UI1, 255},
    {"ui1", "256", false, Kind::UI1, 0},
    {"ui4", "4294967295", true, Kind::UI4, 4294967295.0},
    {"ui4", "4294967296", false, Kind::UI4, 0},
    {"r4", "1.5", true, Kind::R4, 1.5},
    {"r8", "-2.5E-3", true, Kind::R8, -0.0025},
    {"r8", "1,5", false, Kind::R8, 0},
    {"float", "3", true, Kind::R8, 3},
    {"boolean", "1", true, Kind::Bool, 1},
    {"boolean", "true", false, Kind::Bool, 0},
    {"number", "12.50", true, Kind::String, 0},
    {"number", "abc", false, Kind::String, 0},
    {"uuid", "333C7BC4-460F-11D0-BC04-0080C7055A83", true, Kind::String, 0},
    {"uuid", "333C7BC4-460F-11D0-BC04-0080C7055AXX", false, Kind::String, 0},
    {"dateTime", "1899-12-31T12:00:00", true, Kind::Date, 1.5},
    {"dateTime", "2001-02-29T00:00:00", false, Kind::Date, 0},
    {"date", "2000-02-29", true, Kind::Date, 36585},
    {"time", "06:00:00", true, Kind::Date, 0.25},
    {"fixed.14.4", "12.3456", true, Kind::Currency, 123456},
    {"char", "x", true, Kind::UI2, 'x'},
    {"string", " keep blanks ", true, Kind::String, 0},
    {"bin.hex", "abc", false, Kind::Bytes, 0},
    {"bin.hex", "42 C8", false, Kind::Bytes, 0},
    {"bin.base64", "QUJD", true, Kind::Bytes, 0},
};

double NumberOf(const TypedValue& value) {
    switch (value.kind) {
        case Kind::I1:
        case Kind::I2:
        case Kind::I4:
        case Kind::I8:
        case Kind::Currency:
            return static_cast<double>(value.integer);
        case Kind::UI1:
        case Kind::UI2:
        case Kind::UI4:
        case Kind::UI8:
            return static_cast<double>(value.unsignedInteger);
        case Kind::Bool:
            return value.boolean ? 1 : 0;
        default:
            return value.real;
    }
}

TEST(TypedValueTest, ParsesEachDataType) {
    for (const ValueCase& testCase : kValues) {
        SCOPED_TRACE(std::string(testCase.type) + " '" + testCase.text + "'");
        DataType type;
        ASSERT_TRUE(DataTypeFromName(U(testCase.type), type));
        EXPECT_EQ(A(DataTypeName(type)), testCase.type);
        TypedValue value;
        ASSERT_EQ(ParseTypedValue(type, U(testCase.text), value), testCase.valid);
        if (!testCase.valid) continue;
        EXPECT_EQ(value.kind, testCase.kind);
        if (testCase.kind != Kind::String && testCase.kind != Kind::Bytes) {
            EXPECT_NEAR(NumberOf(value), testCase.number, 1e-9);
        }
    }
}

}  // namespace
}  // namespace msxml_core::test
