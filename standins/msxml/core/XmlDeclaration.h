// The pseudo-attributes of an XML declaration (<?xml version=... ?>).
//
// Shared by the parser (which keeps the declaration as a processing instruction
// and checks it) and the byte decoder (which needs the encoding name before the
// text can be decoded).
#pragma once

#include "ErrorCodes.h"
#include "XmlString.h"

namespace msxml_core {

struct XmlDeclaration {
    XmlString version;
    XmlString encoding;  // empty when not given
    XmlString standalone;

    // Parses the text between "<?xml" and "?>". On failure returns false with the
    // code and the offset (into body) of the offending character.
    static bool Parse(XmlStringView body, XmlDeclaration& declaration, ErrorCode& code, size_t& errorOffset);
};

}  // namespace msxml_core
