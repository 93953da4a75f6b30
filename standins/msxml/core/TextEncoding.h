// Byte encodings of whole documents: detection and decoding on load (BOM, then
// the encoding declaration), and encoding on save. The one place in the core that
// converts between bytes and UTF-16 documents.
#pragma once

#include "ParseError.h"
#include "XmlString.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace msxml_core {

enum class Encoding { Utf8, Utf16LE, Utf16BE, Latin1, Windows1252 };

class TextEncoding {
public:
    // Decodes a document's bytes into text without its byte order mark. On
    // failure fills error (code, reason, place in the text decoded so far).
    static bool Decode(const uint8_t* data, size_t size, XmlString& text, ParseError& error);

    // Decodes UTF-8 text with no declaration handling; false for invalid UTF-8.
    static bool DecodeUtf8(std::string_view utf8, XmlString& text);

    // Maps an encoding name (case-insensitive, the usual aliases) to an encoding.
    static bool FromName(XmlStringView name, Encoding& encoding);

    // Encodes text; a character the encoding cannot hold becomes a character
    // reference. UTF-16 gets a little-endian byte order mark, as MSXML writes.
    static std::string Encode(XmlStringView text, Encoding encoding);
};

}  // namespace msxml_core
