#include "TextEncoding.h"

#include "Limits.h"
#include "XmlDeclaration.h"

namespace msxml_core {
namespace {

// windows-1252 in 0x80..0x9F; the five unassigned bytes map to the C1 controls.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool EqualsIgnoringAsciiCase(XmlStringView a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        char16_t x = a[i] >= u'A' && a[i] <= u'Z' ? static_cast<char16_t>(a[i] + 32) : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
        if (x != static_cast<char16_t>(y)) return false;
    }
    return i == a.size() && b[i] == '\0';
}

bool IsUtf16Name(XmlStringView name) {
    return EqualsIgnoringAsciiCase(name, "utf-16") || EqualsIgnoringAsciiCase(name, "utf-16le") ||
           EqualsIgnoringAsciiCase(name, "utf-16be") || EqualsIgnoringAsciiCase(name, "unicode") ||
           EqualsIgnoringAsciiCase(name, "ucs-2");
}

bool Fail(XmlStringView decoded, ErrorCode code, ParseError& error, XmlStringView arg = {}) {
    error.errorCode = code;
    error.reason = FormatReason(code, arg);
    LocateError(decoded, decoded.size(), error);
    return false;
}

// Reads the encoding name of a declaration written in an ASCII-compatible form.
bool ReadDeclaredEncoding(const uint8_t* data, size_t size, XmlString& name) {
    name.clear();
    if (size < 6 || data[0] != '<' || data[1] != '?' || data[2] != 'x' || data[3] != 'm' || data[4] != 'l')
        return true;
    XmlString body;
    for (size_t i = 5; i + 1 < size && i < 512; ++i) {
        if (data[i] == '?' && data[i + 1] == '>') {
            XmlDeclaration declaration;
            ErrorCode code;
            size_t offset;
            // A malformed declaration is reported by the parser with its place.
            if (XmlDeclaration::Parse(body, declaration, code, offset)) name = declaration.encoding;
            return true;
        }
        body.push_back(static_cast<char16_t>(data[i]));
    }
    return true;
}

bool DecodeUtf16(const uint8_t* data, size_t size, bool bigEndian, XmlString& text, ParseError& error) {
    text.resize(size / 2);
    for (size_t i = 0; i < size / 2; ++i) {
        uint8_t first = data[2 * i];
        uint8_t second = data[2 * i + 1];
        text[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    if (size % 2 != 0) return Fail(text, codes::kBadCharData, error);
    return true;
}

bool DecodeUtf8Bytes(const uint8_t* data, size_t size, XmlString& text, ParseError& error) {
    text.clear();
    text.reserve(size);
    size_t i = 0;
    while (i < size) {
        // Copy ASCII runs without the multi-byte logic.
        while (i < size && data[i] < 0x80) text.push_back(static_cast<char16_t>(data[i++]));
        if (i >= size) break;
        uint32_t c = data[i];
        int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= size)
            return Fail(text, codes::kBadCharData, error);
        c &= extra == 1 ? 0x1F : extra == 2 ? 0x0F : 0x07;
        for (int k = 1; k <= extra; ++k) {
            if ((data[i + k] & 0xC0) != 0x80) return Fail(text, codes::kBadCharData, error);
            c = (c << 6) | (data[i + k] & 0x3F);
        }
        uint32_t minimum = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
        if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return Fail(text, codes::kBadCharData, error);
        if (c >= 0x10000) {
            c -= 0x10000;
            text.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            text.push_back(static_cast<char16_t>(c));
        }
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

std::string EncodeUtf8(XmlStringView text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;  // a lone surrogate cannot be written as UTF-8
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

void DecodeSingleByte(const uint8_t* data, size_t size, bool windows1252, XmlString& text) {
    text.resize(size);
    for (size_t i = 0; i < size; ++i) {
        uint8_t b = data[i];
        text[i] =
            windows1252 && b >= 0x80 && b <= 0x9F ? kWindows1252High[b - 0x80] : static_cast<char16_t>(b);
    }
}

}  // namespace

bool TextEncoding::DecodeUtf8(std::string_view utf8, XmlString& text) {
    ParseError ignored;
    return DecodeUtf8Bytes(reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size(), text, ignored);
}

bool TextEncoding::FromName(XmlStringView name, Encoding& encoding) {
    if (EqualsIgnoringAsciiCase(name, "utf-8") || EqualsIgnoringAsciiCase(name, "utf8") ||
        EqualsIgnoringAsciiCase(name, "us-ascii") || EqualsIgnoringAsciiCase(name, "ascii")) {
        encoding = Encoding::Utf8;
    } else if (EqualsIgnoringAsciiCase(name, "utf-16be")) {
        encoding = Encoding::Utf16BE;
    } else if (IsUtf16Name(name)) {
        encoding = Encoding::Utf16LE;
    } else if (EqualsIgnoringAsciiCase(name, "iso-8859-1") || EqualsIgnoringAsciiCase(name, "latin1") ||
               EqualsIgnoringAsciiCase(name, "iso_8859-1") || EqualsIgnoringAsciiCase(name, "l1")) {
        encoding = Encoding::Latin1;
    } else if (EqualsIgnoringAsciiCase(name, "windows-1252") || EqualsIgnoringAsciiCase(name, "cp1252")) {
        encoding = Encoding::Windows1252;
    } else {
        return false;
    }
    return true;
}

bool TextEncoding::Decode(const uint8_t* data, size_t size, XmlString& text, ParseError& error) {
    text.clear();
    if (size > kMaxDocumentBytes)
        return Fail(text, codes::kDocumentTooLarge, error, ToXmlDecimal(kMaxDocumentBytes));
    if (size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF))) {
        if (size >= 4 && data[0] == 0xFF && data[2] == 0 && data[3] == 0)
            return Fail(text, codes::kInvalidEncoding, error);  // UTF-32 is not supported
        return DecodeUtf16(data + 2, size - 2, data[0] == 0xFE, text, error);
    }
    if (size >= 4 && data[0] == '<' && data[1] == 0 && data[2] == '?' && data[3] == 0)
        return DecodeUtf16(data, size, false, text, error);
    if (size >= 4 && data[0] == 0 && data[1] == '<' && data[2] == 0 && data[3] == '?')
        return DecodeUtf16(data, size, true, text, error);

    bool hasUtf8Bom = size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF;
    const uint8_t* body = hasUtf8Bom ? data + 3 : data;
    size_t bodySize = hasUtf8Bom ? size - 3 : size;
    XmlString declared;
    ReadDeclaredEncoding(body, bodySize, declared);
    Encoding encoding = Encoding::Utf8;
    if (!declared.empty()) {
        if (!TextEncoding::FromName(declared, encoding)) return Fail(text, codes::kInvalidEncoding, error);
        if (encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE ||
            (hasUtf8Bom && encoding != Encoding::Utf8))
            return Fail(text, codes::kInvalidSwitch, error);
    }
    if (encoding == Encoding::Utf8) return DecodeUtf8Bytes(body, bodySize, text, error);
    DecodeSingleByte(body, bodySize, encoding == Encoding::Windows1252, text);
    return true;
}

std::string TextEncoding::Encode(XmlStringView text, Encoding encoding) {
    std::string out;
    switch (encoding) {
        case Encoding::Utf8:
            return EncodeUtf8(text);
        case Encoding::Utf16LE:
        case Encoding::Utf16BE: {
            bool big = encoding == Encoding::Utf16BE;
            out.reserve(2 + text.size() * 2);
            out.push_back(static_cast<char>(big ? 0xFE : 0xFF));
            out.push_back(static_cast<char>(big ? 0xFF : 0xFE));
            for (char16_t c : text) {
                char high = static_cast<char>(c >> 8);
                char low = static_cast<char>(c & 0xFF);
                out.push_back(big ? high : low);
                out.push_back(big ? low : high);
            }
            return out;
        }
        case Encoding::Latin1:
        case Encoding::Windows1252:
            out.reserve(text.size());
            for (size_t i = 0; i < text.size(); ++i) {
                char16_t c = text[i];
                int byte = -1;
                if (c < 0x80 || (c >= 0xA0 && c <= 0xFF) || (encoding == Encoding::Latin1 && c <= 0xFF)) {
                    byte = c;
                } else if (encoding == Encoding::Windows1252) {
                    for (int k = 0; k < 32; ++k) {
                        if (kWindows1252High[k] == c) byte = 0x80 + k;
                    }
                }
                if (byte >= 0) {
                    out.push_back(static_cast<char>(byte));
                    continue;
                }
                uint32_t code = c;
                if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
                    code = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                    ++i;
                }
                out += "&#" + std::to_string(code) + ";";
            }
            return out;
    }
    return out;
}

}  // namespace msxml_core
