#include "TypedValue.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <string>

namespace msxml_core {
namespace {

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Decimal integer with optional sign; magnitude limited to 'limit' on the side of its sign.
bool ParseInteger(XmlStringView text, bool allowNegative, uint64_t positiveLimit, uint64_t negativeLimit,
                  bool& negative, uint64_t& magnitude) {
    size_t pos = 0;
    negative = false;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    if (pos >= text.size()) return false;
    magnitude = 0;
    for (; pos < text.size(); ++pos) {
        if (!IsDigit(text[pos])) return false;
        uint64_t digit = text[pos] - u'0';
        if (magnitude > (UINT64_MAX - digit) / 10) return false;
        magnitude = magnitude * 10 + digit;
    }
    if (negative && magnitude != 0 && !allowNegative) return false;
    return magnitude <= (negative ? negativeLimit : positiveLimit);
}

bool ParseSigned(XmlStringView text, int64_t minimum, int64_t maximum, int64_t& result) {
    bool negative;
    uint64_t magnitude;
    if (!ParseInteger(text, true, static_cast<uint64_t>(maximum), static_cast<uint64_t>(-(minimum + 1)) + 1,
                      negative, magnitude))
        return false;
    result = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

bool ParseUnsigned(XmlStringView text, uint64_t maximum, uint64_t& result) {
    bool negative;
    return ParseInteger(text, false, maximum, 0, negative, result);
}

// A decimal real: [sign] digits [. digits] [e [sign] digits], at least one digit.
bool ParseReal(XmlStringView text, double& result) {
    std::string ascii;
    size_t pos = 0;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        if (text[pos] == u'-') ascii.push_back('-');
        ++pos;
    }
    size_t digits = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos, ++digits)
        ascii.push_back(static_cast<char>(text[pos]));
    if (pos < text.size() && text[pos] == u'.') {
        ascii.push_back('.');
        for (++pos; pos < text.size() && IsDigit(text[pos]); ++pos, ++digits)
            ascii.push_back(static_cast<char>(text[pos]));
    }
    if (digits == 0) return false;
    if (pos < text.size() && (text[pos] == u'e' || text[pos] == u'E')) {
        ascii.push_back('e');
        ++pos;
        if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-'))
            ascii.push_back(static_cast<char>(text[pos++]));
        size_t exponentDigits = 0;
        for (; pos < text.size() && IsDigit(text[pos]); ++pos, ++exponentDigits)
            ascii.push_back(static_cast<char>(text[pos]));
        if (exponentDigits == 0) return false;
    }
    if (pos != text.size()) return false;
    auto parsed = std::from_chars(ascii.data(), ascii.data() + ascii.size(), result);
    return parsed.ec == std::errc() && std::isfinite(result);
}

bool ParseBinHex(XmlStringView text, std::vector<uint8_t>& bytes) {
    if (text.size() % 2 != 0) return false;
    bytes.resize(text.size() / 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        int high = HexDigit(text[2 * i]);
        int low = HexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        bytes[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return true;
}

int Base64Digit(char16_t c) {
    if (c >= u'A' && c <= u'Z') return c - u'A';
    if (c >= u'a' && c <= u'z') return c - u'a' + 26;
    if (c >= u'0' && c <= u'9') return c - u'0' + 52;
    return c == u'+' ? 62 : c == u'/' ? 63 : -1;
}

bool ParseBase64(XmlStringView text, std::vector<uint8_t>& bytes) {
    bytes.clear();
    uint32_t buffer = 0;
    int bits = 0;
    size_t padding = 0;
    for (char16_t c : text) {
        if (IsXmlWhitespace(c)) continue;
        if (c == u'=') {
            ++padding;
            continue;
        }
        int digit = Base64Digit(c);
        if (digit < 0 || padding > 0) return false;
        buffer = (buffer << 6) | static_cast<uint32_t>(digit);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<uint8_t>((buffer >> bits) & 0xFF));
        }
    }
    return padding <= 2;
}

bool ParseUuid(XmlStringView text) {
    size_t pos = 0;
    size_t end = text.size();
    if (end >= 2 && text[0] == u'{' && text[end - 1] == u'}') {
        pos = 1;
        --end;
    }
    size_t hexDigits = 0;
    for (; pos < end; ++pos) {
        if (text[pos] == u'-') continue;
        if (HexDigit(text[pos]) < 0) return false;
        ++hexDigits;
    }
    return hexDigits == 32;
}

bool ReadFixedDigits(XmlStringView text, size_t& pos, size_t count, int& value) {
    value = 0;
    for (size_t i = 0; i < count; ++i, ++pos) {
        if (pos >= text.size() || !IsDigit(text[pos])) return false;
        value = value * 10 + (text[pos] - u'0');
    }
    return true;
}

// Days from 1899-12-30 (the OLE automation date origin) to a civil date.
double DaysFromOleOrigin(int year, int month, int day) {
    auto daysFromCivil = [](int y, int m, int d) {
        y -= m <= 2 ? 1 : 0;
        int era = (y >= 0 ? y : y - 399) / 400;
        int yearOfEra = y - era * 400;
        int dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
        int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
        return static_cast<long>(era) * 146097 + dayOfEra;
    };
    return static_cast<double>(daysFromCivil(year, month, day) - daysFromCivil(1899, 12, 30));
}

bool ParseTimeOfDay(XmlStringView text, size_t& pos, double& fraction) {
    int hour, minute, second = 0;
    if (!ReadFixedDigits(text, pos, 2, hour) || pos >= text.size() || text[pos++] != u':' ||
        !ReadFixedDigits(text, pos, 2, minute))
        return false;
    double subsecond = 0;
    if (pos < text.size() && text[pos] == u':') {
        ++pos;
        if (!ReadFixedDigits(text, pos, 2, second)) return false;
        if (pos < text.size() && text[pos] == u'.') {
            ++pos;
            double scale = 0.1;
            size_t digits = 0;
            for (; pos < text.size() && IsDigit(text[pos]); ++pos, ++digits, scale /= 10)
                subsecond += (text[pos] - u'0') * scale;
            if (digits == 0) return false;
        }
    }
    if (hour > 23 || minute > 59 || second > 59) return false;
    fraction = (hour * 3600.0 + minute * 60.0 + second + subsecond) / 86400.0;
    return true;
}

bool ParseTimeZone(XmlStringView text, size_t& pos) {
    if (pos >= text.size()) return true;
    if (text[pos] == u'Z') {
        ++pos;
        return true;
    }
    if (text[pos] != u'+' && text[pos] != u'-') return false;
    ++pos;
    int hours, minutes;
    return ReadFixedDigits(text, pos, 2, hours) && pos < text.size() && text[pos++] == u':' &&
           ReadFixedDigits(text, pos, 2, minutes) && hours <= 14 && minutes <= 59;
}

bool ParseDateTimeValue(DataType type, XmlStringView text, double& date) {
    size_t pos = 0;
    date = 0;
    bool hasDate = type != DataType::Time && type != DataType::TimeTz;
    bool timeRequired = type == DataType::Time || type == DataType::TimeTz;
    bool timeAllowed = type != DataType::Date;
    bool zoneAllowed = type == DataType::DateTimeTz || type == DataType::TimeTz;
    if (hasDate) {
        int year, month, day;
        if (!ReadFixedDigits(text, pos, 4, year) || pos >= text.size() || text[pos++] != u'-' ||
            !ReadFixedDigits(text, pos, 2, month) || pos >= text.size() || text[pos++] != u'-' ||
            !ReadFixedDigits(text, pos, 2, day))
            return false;
        static constexpr int kDaysInMonth[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        if (month < 1 || month > 12 || day < 1 || day > kDaysInMonth[month - 1]) return false;
        bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        if (month == 2 && day == 29 && !leap) return false;
        date = DaysFromOleOrigin(year, month, day);
        if (timeAllowed && pos < text.size() && text[pos] == u'T') {
            ++pos;
            timeRequired = true;
        }
    }
    if (timeRequired) {
        double fraction;
        if (!ParseTimeOfDay(text, pos, fraction)) return false;
        // OLE dates before the origin count the time of day away from zero.
        date = date < 0 ? date - fraction : date + fraction;
    }
    if (zoneAllowed && !ParseTimeZone(text, pos)) return false;
    return pos == text.size();
}

bool ParseFixed14_4(XmlStringView text, int64_t& scaled) {
    size_t point = text.find(u'.');
    XmlStringView whole = point == XmlStringView::npos ? text : text.substr(0, point);
    XmlStringView fraction = point == XmlStringView::npos ? XmlStringView() : text.substr(point + 1);
    if (fraction.size() > 4 || (point != XmlStringView::npos && fraction.empty())) return false;
    int64_t wholeValue;
    if (whole.empty() || whole == u"-" || whole == u"+") {
        if (fraction.empty()) return false;
        wholeValue = 0;
    } else if (!ParseSigned(whole, -99999999999999LL, 99999999999999LL, wholeValue)) {
        return false;
    }
    int64_t fractionValue = 0;
    for (size_t i = 0; i < 4; ++i) {
        int digit = 0;
        if (i < fraction.size()) {
            if (!IsDigit(fraction[i])) return false;
            digit = fraction[i] - u'0';
        }
        fractionValue = fractionValue * 10 + digit;
    }
    bool negative = !whole.empty() && whole[0] == u'-';
    scaled = wholeValue * 10000 + (negative ? -fractionValue : fractionValue);
    return true;
}

}  // namespace

bool ParseTypedValue(DataType type, XmlStringView rawText, TypedValue& value) {
    value = TypedValue();
    // Every type but the text types ignores surrounding white space.
    XmlStringView text = TrimXmlWhitespace(rawText);
    using Kind = TypedValue::Kind;
    switch (type) {
        case DataType::None:
        case DataType::String:
        case DataType::Uri:
        case DataType::Id:
        case DataType::IdRef:
        case DataType::IdRefs:
        case DataType::Entity:
        case DataType::Entities:
        case DataType::NmToken:
        case DataType::NmTokens:
        case DataType::Notation:
        case DataType::Enumeration:
            value.kind = Kind::String;
            value.text.assign(rawText);
            return true;
        case DataType::Number: {
            double ignored;
            value.kind = Kind::String;
            value.text.assign(text);
            return ParseReal(text, ignored);
        }
        case DataType::Uuid:
            value.kind = Kind::String;
            value.text.assign(text);
            return ParseUuid(text);
        case DataType::Char:
            value.kind = Kind::UI2;
            if (rawText.size() != 1) return false;
            value.unsignedInteger = rawText[0];
            return true;
        case DataType::Boolean:
            // XDR's boolean is "0" or "1" only; MSXML refuses "true" and "false".
            value.kind = Kind::Bool;
            value.boolean = text == u"1";
            return text == u"1" || text == u"0";
        case DataType::I1:
            value.kind = Kind::I1;
            return ParseSigned(text, INT8_MIN, INT8_MAX, value.integer);
        case DataType::I2:
            value.kind = Kind::I2;
            return ParseSigned(text, INT16_MIN, INT16_MAX, value.integer);
        case DataType::I4:
        case DataType::Int:
            value.kind = Kind::I4;
            return ParseSigned(text, INT32_MIN, INT32_MAX, value.integer);
        case DataType::I8:
            value.kind = Kind::I8;
            return ParseSigned(text, INT64_MIN, INT64_MAX, value.integer);
        case DataType::UI1:
            value.kind = Kind::UI1;
            return ParseUnsigned(text, UINT8_MAX, value.unsignedInteger);
        case DataType::UI2:
            value.kind = Kind::UI2;
            return ParseUnsigned(text, UINT16_MAX, value.unsignedInteger);
        case DataType::UI4:
            value.kind = Kind::UI4;
            return ParseUnsigned(text, UINT32_MAX, value.unsignedInteger);
        case DataType::UI8:
            value.kind = Kind::UI8;
            return ParseUnsigned(text, UINT64_MAX, value.unsignedInteger);
        case DataType::R4:
            value.kind = Kind::R4;
            if (!ParseReal(text, value.real) || std::fabs(value.real) > FLT_MAX) return false;
            value.real = static_cast<float>(value.real);
            return true;
        case DataType::R8:
        case DataType::Float:
            value.kind = Kind::R8;
            return ParseReal(text, value.real);
        case DataType::Fixed14_4:
            value.kind = Kind::Currency;
            return ParseFixed14_4(text, value.integer);
        case DataType::BinHex:
            value.kind = Kind::Bytes;
            return ParseBinHex(text, value.bytes);
        case DataType::BinBase64:
            value.kind = Kind::Bytes;
            return ParseBase64(text, value.bytes);
        case DataType::DateTime:
        case DataType::DateTimeTz:
        case DataType::Date:
        case DataType::Time:
        case DataType::TimeTz:
            value.kind = Kind::Date;
            return ParseDateTimeValue(type, text, value.real);
    }
    return false;
}

size_t ValueLength(DataType type, XmlStringView text) {
    if (type == DataType::BinHex) return TrimXmlWhitespace(text).size() / 2;
    if (type == DataType::BinBase64) {
        TypedValue value;
        return ParseTypedValue(type, text, value) ? value.bytes.size() : 0;
    }
    return text.size();
}

}  // namespace msxml_core
