#include "values/DialogValueText.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <new>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "values/AnsiText.h"
#include "values/Bytes.h"
#include "values/HexText.h"

namespace {

// A formatted value stays within this many characters (a dialog text of one value, not a document).
constexpr size_t kFormattedTextLimit = 255;

template <class Argument>
std::string Format(const char* format, Argument argument) {
    char buffer[kFormattedTextLimit + 1] = {};
    // A longer text is cut to the buffer; the buffer always ends in its zero.
    (void)std::snprintf(buffer, sizeof(buffer), format ? format : "", argument);
    return buffer;
}

// What the conversion of a row's format reads: a value of another kind would be read as that kind (a
// number as a string's address), so only a value of the kind read is shown through it.
enum class FormatArgument { None, Integer, Floating, Text, Unusable };

FormatArgument ConversionArgument(char conversion, bool longModifier) {
    switch (conversion) {
        case 'd':
        case 'i':
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            return FormatArgument::Integer;  // int-sized also with 'h' or 'l'
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
            return FormatArgument::Floating;
        case 's':
            return longModifier ? FormatArgument::Unusable : FormatArgument::Text;
        default:
            return FormatArgument::Unusable;  // %n writes, %p, %c, wider lengths and unknown letters
    }
}

// The argument the one conversion of `format` reads: None without any, Unusable with more than one, with
// a width or precision taken from an argument ('*'), or with one that no value may feed.
FormatArgument ArgumentOf(const char* format) {
    FormatArgument found = FormatArgument::None;
    for (const char* at = format ? format : ""; *at; ++at) {
        if (*at != '%') continue;
        if (*++at == '%') continue;
        at += std::strspn(at, "-+ #0123456789.");
        const size_t length = std::strspn(at, "hl");
        if (length > 1 || *at == '\0') return FormatArgument::Unusable;
        const bool longModifier = length == 1 && *at == 'l';
        at += length;
        const FormatArgument kind = ConversionArgument(*at, longModifier);
        if (kind == FormatArgument::Unusable || found != FormatArgument::None)
            return FormatArgument::Unusable;
        found = kind;
    }
    return found;
}

// Whether the row's format reads what `value` gives it; a format without a conversion reads nothing.
bool FormatTakes(const char* format, FormatArgument given) {
    const FormatArgument read = ArgumentOf(format);
    return read == FormatArgument::None || read == given;
}

// What a value of `type` gives a row's format; Unusable for the types that do not go through it.
FormatArgument ArgumentOfType(VARTYPE type) {
    switch (type) {
        case VT_I1:
        case VT_UI1:
        case VT_I2:
        case VT_UI2:
        case VT_I4:
        case VT_UI4:
        case VT_BOOL:
            return FormatArgument::Integer;
        case VT_R4:
        case VT_R8:
            return FormatArgument::Floating;
        case VT_BSTR:
            return FormatArgument::Text;
        default:
            return FormatArgument::Unusable;
    }
}

// The system default locale's decimal separator, empty when it cannot be read.
std::string SystemDecimalSeparator() {
    char separator[4] = {};
    if (::GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_SDECIMAL, separator, sizeof(separator)) == 0)
        return {};
    return separator;
}

// Byte arrays show "%02X " per byte in memory order; other shapes show nothing.
bool FormatByteArray(SAFEARRAY* array, std::string& text) {
    const ByteArrayView bytes(array);
    if (FAILED(bytes.Status())) return false;
    static constexpr char kDigits[] = "0123456789ABCDEF";
    text.clear();
    for (size_t i = 0; i < bytes.Size(); ++i) {
        const BYTE byte = bytes.Data()[i];
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
        text.push_back(' ');
    }
    return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The length of the decimal number at `at`: digits with at most one point (one digit at least), then an
// exponent only when digits follow its letter and sign. 0 when no number starts there.
size_t DecimalNumberLength(const std::string& text, size_t at) {
    size_t end = at, digits = 0;
    while (end < text.size() && IsDigit(text[end])) ++end, ++digits;
    if (end < text.size() && text[end] == '.') {
        ++end;
        while (end < text.size() && IsDigit(text[end])) ++end, ++digits;
    }
    if (digits == 0) return 0;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        if (exponent < text.size() && IsDigit(text[exponent])) {
            while (exponent < text.size() && IsDigit(text[exponent])) ++exponent;
            end = exponent;
        }
    }
    return end - at;
}

// The longest prefix of `text` (after white space and a sign) that forms a finite decimal number within
// single precision. Only such a number is read: the C library's %f also takes infinities, NaN and
// hexadecimal numbers ("0x10" is 16 there, not a 0 followed by text), and a number beyond the range of a
// single would arrive as an infinity or as 0, none of which a person means by the digits typed.
bool ScanSingle(const std::string& text, float& value) {
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    const size_t length = DecimalNumberLength(text, at);
    if (length == 0) return false;
    if (text[at] == '0' && at + 1 < text.size() && (text[at + 1] == 'x' || text[at + 1] == 'X')) return false;
    double number = 0;
    const char* first = text.data() + at;
    const std::from_chars_result read = std::from_chars(first, first + length, number);
    if (read.ec != std::errc() || read.ptr != first + length) return false;
    const float single = static_cast<float>(negative ? -number : number);
    if (!std::isfinite(single) || (single == 0.0f && number != 0.0)) return false;
    value = single;
    return true;
}

}  // namespace

HRESULT FormatDialogText(const char* format, const VARIANT& value, std::string& text, bool& shown) noexcept {
    try {
        shown = true;
        text.clear();
        const VARTYPE type = V_VT(&value);
        if (type == VT_EMPTY) return S_OK;
        const FormatArgument given = ArgumentOfType(type);
        if (given != FormatArgument::Unusable && !FormatTakes(format, given)) {
            shown = false;
            return S_OK;
        }
        switch (type) {
            case VT_I2:
                text = Format(format, static_cast<int>(V_I2(&value)));
                return S_OK;
            case VT_I4:
                text = Format(format, static_cast<int>(V_I4(&value)));
                return S_OK;
            case VT_UI4:
                text = Format(format, static_cast<unsigned int>(V_UI4(&value)));
                return S_OK;
            case VT_R8:
                text = Format(format, V_R8(&value));
                return S_OK;
            case VT_BOOL:
                text = Format(format, static_cast<int>(V_BOOL(&value)));
                return S_OK;
            case VT_I1:
                text = Format(format, static_cast<int>(V_I1(&value)));
                return S_OK;
            case VT_UI1:
                text = Format(format, static_cast<unsigned int>(V_UI1(&value)));
                return S_OK;
            case VT_UI2:
                text = Format(format, static_cast<unsigned int>(V_UI2(&value)));
                return S_OK;
            case VT_R4: {
                text = Format(format, static_cast<double>(V_R4(&value)));
                // Only a one-character separator replaces the point; VT_R8 is never localised.
                const std::string separator = SystemDecimalSeparator();
                const size_t point = text.find('.');
                if (point != std::string::npos && separator.size() == 1) text[point] = separator[0];
                return S_OK;
            }
            case VT_BSTR: {
                // The text ends at its first null character, as a C string would.
                std::string ansi;
                const wchar_t* wide = V_BSTR(&value) ? V_BSTR(&value) : L"";
                QL_RETURN_IF_FAILED(WideToAnsi(std::wstring_view(wide), ansi));
                text = Format(format, ansi.c_str());
                return S_OK;
            }
            case VT_ARRAY | VT_UI1:
                shown = FormatByteArray(V_ARRAY(&value), text);
                return S_OK;
            default:
                shown = false;
                return S_OK;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ParseSingleDialogText(const std::string& source, const char* format, float& value) noexcept {
    try {
        std::string text = source;
        const std::string separator = SystemDecimalSeparator();
        if (!separator.empty()) {
            const size_t at = text.find(separator);
            if (at != std::string::npos) text.replace(at, separator.size(), ".");
        }
        // "e3" means 1e3: complete a mantissa only for a letter that starts a word and is followed by a
        // digit directly.
        const size_t letter = text.find_first_of("eE");
        const size_t digit = text.find_first_of("1234567890");
        if (letter != std::string::npos && digit == letter + 1 && (letter == 0 || text[letter - 1] == ' ')) {
            text.insert(letter, 1, '1');
        }
        float scanned = 0.0f;
        if (!ScanSingle(text, scanned)) return E_FAIL;
        // The value takes the precision in which the row shows it.
        float rounded = scanned;
        if (format && *format && ScanSingle(Format(format, static_cast<double>(scanned)), rounded)) {
            scanned = rounded;
        }
        value = scanned;
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ParseHexDialogText(const std::string& source, VARIANT* value) noexcept {
    if (!value) return E_POINTER;
    try {
        ::VariantInit(value);  // the caller passes an empty VARIANT; nothing is freed here
        ql::Bstr wide;
        QL_RETURN_IF_FAILED(AnsiToBstr(source, wide));
        std::wstring digits;
        for (wchar_t c : wide.View()) {
            if (!std::wcschr(L" .,:;", c) || c == L'\0') digits.push_back(c);
        }
        if (digits.size() % 2 != 0) digits.push_back(L'0');
        if (digits.empty()) return S_OK;
        ql::Bstr hex;
        QL_RETURN_IF_FAILED(hex.Assign(digits));
        ql::Variant bytes;
        QL_RETURN_IF_FAILED(HexBstrToByteArray(bytes.Put(), hex.Get(), FALSE));
        return bytes.Detach(value);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
