#include "ui/pages/AiFlowValues.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "dtm/documents/PaRecordDecoders.h"
#include "dtm/documents/PaRecordEncoders.h"
#include "values/Bytes.h"

namespace {

constexpr int kMaxDecimalPoint = 15;

bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) noexcept {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The whole of a member field's text (blanks aside) read by `convert` (strtod or strtol style); false when
// the text is empty, characters are left over or the number is out of the converter's range.
template <class Number, class Convert>
bool ParseWholeField(std::string_view text, Convert convert, Number* number) noexcept {
    const std::string owned(Trimmed(text));
    if (owned.empty()) return false;
    char* end = nullptr;
    errno = 0;
    *number = convert(owned.c_str(), &end);
    return end == owned.c_str() + owned.size() && errno != ERANGE;
}

// A member field's text as a finite number a float holds.
bool ParseFloatField(std::string_view text, float* value) noexcept {
    double number = 0.0;
    const auto convert = [](const char* s, char** end) { return std::strtod(s, end); };
    if (!ParseWholeField(text, convert, &number) || !std::isfinite(number) || std::fabs(number) > FLT_MAX) {
        return false;
    }
    *value = static_cast<float>(number);
    return true;
}

bool ParseByteField(std::string_view text, BYTE* value) noexcept {
    long number = 0;
    const auto convert = [](const char* s, char** end) { return std::strtol(s, end, 10); };
    if (!ParseWholeField(text, convert, &number) || number < 0 || number > 255) return false;
    *value = static_cast<BYTE>(number);
    return true;
}

}  // namespace

OutScaleFields SplitOutScale(const VARIANT& record) noexcept {
    OutScaleFields fields;
    ULONG decimalPoint = fields.decimalPoint;
    DecodeScaleRecord(record, &fields.valueAt100, &fields.valueAt0, &fields.unitCode, &decimalPoint);
    fields.decimalPoint = static_cast<BYTE>(decimalPoint);
    return fields;
}

PvScaleFields SplitPvScale(const VARIANT& record) noexcept {
    PvScaleFields fields;
    ULONG bits = BitsFromFloat(fields.valueAt0);
    DecodeValueStatusRecord(record, &fields.valueAt100, &bits);
    fields.valueAt0 = FloatFromBits(bits);
    return fields;
}

SimulationFields SplitSimulation(const VARIANT& record) noexcept {
    SimulationFields fields;
    ULONG bits = 0;
    DecodeRecord6(record, &fields.status, &bits, &fields.enable);
    fields.value = FloatFromBits(bits);
    return fields;
}

int ClampedDecimalPoint(long requested) noexcept {
    if (requested < 0) return 0;
    return requested > kMaxDecimalPoint ? kMaxDecimalPoint : static_cast<int>(requested);
}

std::string FormatWithDecimals(double value, long decimals) {
    const int places = ClampedDecimalPoint(decimals);
    // Sized by a first pass: a large value with many places has no bound a fixed buffer could keep.
    const int length = std::snprintf(nullptr, 0, "%.*f", places, value);
    if (length <= 0) return {};
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::snprintf(text.data(), text.size(), "%.*f", places, value);
    return std::string(text.data(), static_cast<size_t>(length));
}

double LenientNumber(std::string_view text) noexcept {
    const std::string owned(text);
    const char* const begin = owned.c_str();
    const char* p = begin;
    while (IsBlank(*p)) ++p;
    const char* const numberStart = p;
    if (*p == '+' || *p == '-') ++p;
    const char* const digitsStart = p;
    while (*p >= '0' && *p <= '9') ++p;
    if (*p == '.') ++p;
    while (*p >= '0' && *p <= '9') ++p;
    if (p == digitsStart || (p == digitsStart + 1 && *digitsStart == '.')) return 0.0;
    if (*p == 'e' || *p == 'E') {
        const char* exponent = p + 1;
        if (*exponent == '+' || *exponent == '-') ++exponent;
        if (*exponent >= '0' && *exponent <= '9') {
            p = exponent;
            while (*p >= '0' && *p <= '9') ++p;
        }
    }
    // Only the decimal form found above is converted (strtod would also take hex, inf and nan).
    return std::strtod(std::string(numberStart, p).c_str(), nullptr);
}

long LenientInteger(std::string_view text) noexcept {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long number = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (number < 100000000L) number = number * 10 + (text[i] - '0');
    }
    return negative ? -number : number;
}

HRESULT JoinOutScale(std::string_view valueAt100, std::string_view valueAt0, USHORT unitCode,
                     std::string_view decimalPoint, VARIANT* out) noexcept {
    if (!out) return E_POINTER;
    float upper = 0.0f, lower = 0.0f;
    BYTE places = 0;
    if (!ParseFloatField(valueAt100, &upper) || !ParseFloatField(valueAt0, &lower) ||
        !ParseByteField(decimalPoint, &places)) {
        return E_INVALIDARG;
    }
    return EncodeScaleRecord(out, upper, lower, unitCode, places);
}

HRESULT JoinPvScale(std::string_view valueAt100, std::string_view valueAt0, VARIANT* out) noexcept {
    if (!out) return E_POINTER;
    float upper = 0.0f, lower = 0.0f;
    if (!ParseFloatField(valueAt100, &upper) || !ParseFloatField(valueAt0, &lower)) return E_INVALIDARG;
    return MakeByteArray8(out, BitsFromFloat(upper), BitsFromFloat(lower));
}

HRESULT JoinSimulation(BYTE status, std::string_view value, BYTE enable, VARIANT* out) noexcept {
    if (!out) return E_POINTER;
    float simulated = 0.0f;
    if (!ParseFloatField(value, &simulated)) return E_INVALIDARG;
    return BuildByteArrayRecord(out, status, BitsFromFloat(simulated), enable);
}

std::string ValueWithStatusText(const VARIANT& record) {
    float value = 0.0f;
    BYTE status = 0;
    DecodeFloatWithStatus(record, &value, &status);
    return FormatWithDecimals(value, 5);
}
