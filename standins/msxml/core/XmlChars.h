// Character classes of XML 1.0 on UTF-16 code units.
#pragma once

#include "XmlString.h"

namespace msxml_core {

// Name characters after XML 1.0 (fifth edition). A surrogate code unit counts as a
// name character; the pair itself is checked by IsXmlChar at the point of reading.
inline bool IsNameStartChar(char16_t c) {
    if (c < 0x80) return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':';
    return (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) ||
           (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xDFFF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD);
}

inline bool IsNameChar(char16_t c) {
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
               c == u'_' || c == u':' || c == u'-' || c == u'.';
    return c == 0xB7 || (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040) || IsNameStartChar(c);
}

// A single code unit that may stand in a document on its own (surrogates are
// checked in pairs by the caller).
inline bool IsXmlCharUnit(char16_t c) {
    return c >= 0x20 ? (c <= 0xFFFD && !(c >= 0xFFFE)) : (c == 0x9 || c == 0xA || c == 0xD);
}

inline bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// True when text is a valid XML name (QName shape is checked separately).
bool IsXmlName(XmlStringView text);

// True when text is a valid NCName (a name without colon).
bool IsXmlNcName(XmlStringView text);

}  // namespace msxml_core
