#include "comm/Dpv1ValueEncoding.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "values/AnsiText.h"
#include "values/Bytes.h"
#include "values/HexText.h"
#include "values/ScalarTypes.h"

namespace {

using Bytes = std::vector<BYTE>;

// The numbers DP-V1 carries in their own width. Their value lies at the start of the VARIANT's data part,
// so the first VarTypeWidth bytes there are the number in the machine's (little-endian) order.
constexpr VARTYPE kNumberTypes[] = {VT_I1, VT_UI1, VT_I2, VT_UI2, VT_BOOL, VT_I4, VT_UI4, VT_R4, VT_R8};

// The DP-V1 width of a number type; 0 for every other type.
size_t NumberWidth(VARTYPE type) noexcept {
    for (VARTYPE number : kNumberTypes) {
        if (number == type) return ql::VarTypeWidth(type);
    }
    return 0;
}

// PROFIBUS time values count from 1 January 1984.
constexpr WORD kTimeEpochYear = 1984;
constexpr ULONG kMillisecondsPerSecond = 1000;
constexpr ULONG kMillisecondsPerMinute = 60 * kMillisecondsPerSecond;
constexpr ULONG kMillisecondsPerHour = 60 * kMillisecondsPerMinute;
constexpr double kMillisecondsPerDay = 24.0 * kMillisecondsPerHour;
// The 7-byte date: years of the century below this one are 20xx, the others 19xx.
constexpr BYTE kCenturyPivot = 70;
// A character of a text that no single byte holds is written as '?', as an ANSI conversion would.
constexpr BYTE kUnwritableCharacter = 0x3F;

HRESULT BytesToText(const Bytes& bytes, BSTR* text) noexcept {
    ql::Variant value;
    QL_RETURN_IF_FAILED(MakeByteArray(bytes.data(), bytes.size(), value));
    return BytesToHexBstr(value.Get(), text, FALSE);
}

HRESULT NumberBytes(const VARIANT& value, size_t width, Bytes& bytes) noexcept {
    uint64_t bits = 0;
    std::memcpy(&bits, &V_UI1(&value), width);
    return ql::GuardComCall([&]() -> HRESULT {
        bytes.resize(bytes.size() + width);
        WriteBigEndian(bits, width, bytes.data() + bytes.size() - width);
        return S_OK;
    });
}

HRESULT TimeOfDayBytes(DATE date, Bytes& bytes) noexcept {
    SYSTEMTIME time = {};
    QL_RETURN_HR_IF(E_INVALIDARG, !::VariantTimeToSystemTime(date, &time));
    ql::Variant milliseconds;
    milliseconds.SetUI4(time.wHour * kMillisecondsPerHour + time.wMinute * kMillisecondsPerMinute +
                        time.wSecond * kMillisecondsPerSecond);
    return NumberBytes(*milliseconds, ql::VarTypeWidth(VT_UI4), bytes);
}

HRESULT TextBytes(BSTR text, Bytes& bytes) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        const UINT length = ::SysStringLen(text);
        for (UINT i = 0; i < length; ++i) {
            bytes.push_back(text[i] <= 0xFF ? static_cast<BYTE>(text[i]) : kUnwritableCharacter);
        }
        return S_OK;
    });
}

HRESULT ArrayBytes(SAFEARRAY* array, Bytes& bytes) noexcept { return CopyByteArray(array, bytes); }

HRESULT ValueBytes(const VARIANT& value, Bytes& bytes) noexcept {
    const VARTYPE type = V_VT(&value);
    if (const size_t width = NumberWidth(type)) return NumberBytes(value, width, bytes);
    if (type == VT_DATE) return TimeOfDayBytes(V_DATE(&value), bytes);
    if (type == VT_BSTR) return TextBytes(V_BSTR(&value), bytes);
    if (type == (VT_ARRAY | VT_UI1)) return ArrayBytes(V_ARRAY(&value), bytes);
    return S_OK;  // no DP-V1 layout: no bytes
}

// ---- reading ----

HRESULT TextToBytes(BSTR text, Bytes& bytes) noexcept {
    ql::Variant array;
    QL_RETURN_IF_FAILED(HexBstrToByteArray(array.Get(), text, TRUE));
    QL_RETURN_HR_IF(E_INVALIDARG, array.Type() != (VT_ARRAY | VT_UI1));
    return ArrayBytes(V_ARRAY(array.Get()), bytes);
}

uint64_t BigEndianNumber(const Bytes& bytes, size_t first, size_t width) noexcept {
    return ReadBigEndian(bytes.data() + first, width);
}

HRESULT NumberValue(const Bytes& bytes, VARTYPE type, size_t width, ql::Variant& result) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, bytes.size() < width);
    const uint64_t bits = BigEndianNumber(bytes, 0, width);
    VARIANT* value = result.Put();
    V_VT(value) = type;
    if (type == VT_BOOL) {
        V_BOOL(value) = bits != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
        std::memcpy(&V_UI1(value), &bits, width);
    }
    return S_OK;
}

bool IsValidCalendarTime(const SYSTEMTIME& time) noexcept {
    static constexpr WORD kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (time.wMonth < 1 || time.wMonth > 12 || time.wDay < 1) return false;
    const bool leap = (time.wYear % 4 == 0 && time.wYear % 100 != 0) || time.wYear % 400 == 0;
    const WORD days = kDaysInMonth[time.wMonth - 1] + ((time.wMonth == 2 && leap) ? 1 : 0);
    return time.wDay <= days && time.wHour < 24 && time.wMinute < 60 && time.wSecond < 60;
}

// The DATE of the calendar fields, 0.0 when they form no valid date and time.
DATE CalendarDate(const SYSTEMTIME& time) noexcept {
    DATE date = 0.0;
    if (!IsValidCalendarTime(time) || !::SystemTimeToVariantTime(const_cast<SYSTEMTIME*>(&time), &date))
        return 0.0;
    return date;
}

DATE TimeOfDayDate(const Bytes& bytes) noexcept {
    const ULONG milliseconds = static_cast<ULONG>(BigEndianNumber(bytes, 0, 4));
    SYSTEMTIME time = {};
    time.wYear = kTimeEpochYear;
    time.wMonth = 1;
    time.wDay = 1;
    time.wHour = static_cast<WORD>((milliseconds / kMillisecondsPerHour) % 24);
    time.wMinute = static_cast<WORD>((milliseconds / kMillisecondsPerMinute) % 60);
    time.wSecond = static_cast<WORD>((milliseconds / kMillisecondsPerSecond) % 60);
    DATE date = CalendarDate(time);
    // The 6-byte form counts days since the epoch after the time of day.
    if (bytes.size() == 6) date += static_cast<double>(BigEndianNumber(bytes, 4, 2));
    return date;
}

DATE DateAndTimeDate(const Bytes& bytes) noexcept {
    const BYTE yearInCentury = bytes[6] & 0x7F;
    SYSTEMTIME time = {};
    time.wSecond = static_cast<WORD>(BigEndianNumber(bytes, 0, 2) / kMillisecondsPerSecond);
    time.wMinute = bytes[2] & 0x3F;
    time.wHour = bytes[3] & 0x1F;
    time.wDay = bytes[4] & 0x1F;
    time.wMonth = bytes[5] & 0x3F;
    time.wYear = static_cast<WORD>((yearInCentury < kCenturyPivot ? 2000 : 1900) + yearInCentury);
    return CalendarDate(time);
}

HRESULT DateValue(const Bytes& bytes, ql::Variant& result) noexcept {
    DATE date = 0.0;
    if (bytes.size() == 4 || bytes.size() == 6) {
        date = TimeOfDayDate(bytes);
    } else if (bytes.size() == 7) {
        date = DateAndTimeDate(bytes);
    } else {
        return E_INVALIDARG;
    }
    VARIANT* value = result.Put();
    V_VT(value) = VT_DATE;
    V_DATE(value) = date;
    return S_OK;
}

HRESULT StringValue(const Bytes& bytes, ql::Variant& result) noexcept {
    std::string characters;
    QL_RETURN_IF_FAILED(ql::GuardComCall([&]() -> HRESULT {
        for (BYTE byte : bytes) {
            if (byte != 0) characters.push_back(static_cast<char>(byte));  // a zero byte adds nothing
        }
        return S_OK;
    }));
    ql::Bstr text;
    if (FAILED(AnsiToBstr(characters, text))) {
        // A text that cannot be made is still an answer: the value says so.
        result.SetError(E_OUTOFMEMORY);
        return S_OK;
    }
    result.AttachBstr(text.Detach());
    return S_OK;
}

HRESULT ByteArrayValue(const Bytes& bytes, ql::Variant& result) noexcept {
    return FAILED(MakeByteArray(bytes.data(), bytes.size(), result)) ? E_FAIL : S_OK;
}

}  // namespace

HRESULT ValueToText(const VARIANT& value, BSTR* text) noexcept {
    QL_RETURN_IF_NULL_OUT(text);
    Bytes bytes;
    QL_RETURN_IF_FAILED(ValueBytes(value, bytes));
    return BytesToText(bytes, text);
}

HRESULT TextToValue(BSTR text, VARTYPE type, VARIANT* value) noexcept {
    QL_RETURN_IF_NULL_OUT(value);
    QL_RETURN_HR_IF(E_INVALIDARG, ::SysStringLen(text) == 0);
    Bytes bytes;
    QL_RETURN_IF_FAILED(TextToBytes(text, bytes));

    ql::Variant result;
    if (const size_t width = NumberWidth(type)) {
        QL_RETURN_IF_FAILED(NumberValue(bytes, type, width, result));
    } else if (type == VT_DATE) {
        QL_RETURN_IF_FAILED(DateValue(bytes, result));
    } else if (type == VT_BSTR) {
        QL_RETURN_IF_FAILED(StringValue(bytes, result));
    } else if (type == (VT_ARRAY | VT_UI1)) {
        QL_RETURN_IF_FAILED(ByteArrayValue(bytes, result));
    } else {
        return E_UNEXPECTED;
    }
    // `value` is an [out] parameter: overwritten, never cleared (it may be uninitialised).
    return result.Detach(value);
}
