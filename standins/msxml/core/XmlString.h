// Text types of the MSXML stand-in core.
//
// Every string is UTF-16 in char16_t so that it maps one to one onto a BSTR in the
// COM layer; nothing here depends on wchar_t, whose width differs between the
// native (Linux) and the mingw build.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace msxml_core {

using XmlString = std::u16string;
using XmlStringView = std::u16string_view;

// ASCII-only helper for tests, messages and fixed vocabulary.
inline XmlString AsciiToXml(std::string_view ascii) { return XmlString(ascii.begin(), ascii.end()); }

// Lossy conversion for diagnostics only (non-ASCII becomes '?').
std::string XmlToAsciiForDiagnostics(XmlStringView text);

// Whitespace in the XML sense (space, tab, CR, LF).
constexpr bool IsXmlWhitespace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

XmlStringView TrimXmlWhitespace(XmlStringView text);
bool IsAllXmlWhitespace(XmlStringView text);

// Decimal formatting of an unsigned value, used in messages.
XmlString ToXmlDecimal(uint64_t value);

}  // namespace msxml_core
