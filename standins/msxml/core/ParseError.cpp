#include "ParseError.h"

namespace msxml_core {
namespace {

struct ReasonTemplate {
    ErrorCode code;
    const char* text;  // ASCII; %1 and %2 are replaced, lines end with \n
};

// Wording after MSXML 3's messages; the stand-in's own limits say what they refuse.
constexpr ReasonTemplate kReasons[] = {
    {codes::kObjectNotFound,
     "The system cannot locate the object specified.\nError processing resource '%1'.\n"},
    {codes::kMissingEquals, "Missing equals sign between attribute and attribute value.\n"},
    {codes::kMissingQuote, "A string literal was expected, but no opening quote character was found.\n"},
    {codes::kCommentSyntax, "Incorrect syntax was used in a comment.\n"},
    {codes::kBadStartNameChar, "A name was started with an invalid character.\n"},
    {codes::kBadNameChar, "A name contained an invalid character.\n"},
    {codes::kBadCharInString, "A string literal contained an invalid character.\n"},
    {codes::kXmlDeclSyntax, "Invalid syntax for an XML declaration.\n"},
    {codes::kBadCharData, "An invalid character was found in text content.\n"},
    {codes::kMissingWhitespace, "Required white space was missing.\n"},
    {codes::kExpectingTagEnd, "The character '>' was expected.\n"},
    {codes::kMissingSemicolon, "A semi colon character was expected.\n"},
    {codes::kBadCharInEntityRef, "An invalid character was found inside an entity reference.\n"},
    {codes::kUnexpectedWhitespace, "Whitespace is not allowed at this location.\n"},
    {codes::kPiDeclSyntax, "Invalid syntax for a processing instruction.\n"},
    {codes::kMultipleColons, "Multiple colons are not allowed in a name.\n"},
    {codes::kInvalidDecimal, "Invalid character for decimal digit.\n"},
    {codes::kInvalidHexadecimal, "Invalid character for hexadecimal digit.\n"},
    {codes::kInvalidUnicode, "Invalid unicode character value for this platform.\n"},
    {codes::kUnexpectedEndTag, "End tag was not expected at this location.\n"},
    {codes::kUnclosedTag, "The following tags were not closed: %1.\n"},
    {codes::kDuplicateAttribute, "Duplicate attribute.\n"},
    {codes::kMultipleRoots, "Only one top level element is allowed in an XML document.\n"},
    {codes::kInvalidAtRootLevel, "Invalid at the top level of the document.\n"},
    {codes::kBadXmlDecl, "Invalid xml declaration.\n"},
    {codes::kMissingRoot, "XML document must have a top level element.\n"},
    {codes::kUnexpectedEof, "Unexpected end of input.\n"},
    {codes::kInvalidCDataClosingTag, "The literal string ']]>' is not allowed in element content.\n"},
    {codes::kUnclosedPi, "A processing instruction was not closed.\n"},
    {codes::kUnclosedStartTag, "A start tag was not closed.\n"},
    {codes::kUnclosedEndTag, "An end tag was not closed.\n"},
    {codes::kUnclosedString, "A string literal was not closed.\n"},
    {codes::kUnclosedComment, "A comment was not closed.\n"},
    {codes::kUnclosedCData, "A CDATA section was not closed.\n"},
    {codes::kReservedNamespace,
     "The namespace prefix is not allowed to start with the reserved string 'xml'.\n"},
    {codes::kEndTagMismatch, "End tag '%2' does not match the start tag '%1'.\n"},
    {codes::kInvalidEncoding, "System does not support the specified encoding.\n"},
    {codes::kInvalidSwitch, "Switch from current encoding to specified encoding not supported.\n"},
    {codes::kBadXmlCase, "The name 'xml' is reserved and must be lower case.\n"},
    {codes::kMissingEntity, "Reference to undefined entity '%1'.\n"},
    {codes::kInvalidVersion, "Invalid version number.\n"},
    {codes::kDtdProhibited,
     "A DOCTYPE declaration is not accepted: document type definitions are never processed.\n"},
    {codes::kNestingTooDeep, "Elements are nested deeper than %1 levels.\n"},
    {codes::kTokenTooLong, "A name or attribute value is longer than %1 characters.\n"},
    {codes::kDocumentTooLarge, "The document is larger than %1 bytes.\n"},
    {codes::kElementUndeclared, "Element '%1' is used but not declared in the DTD/Schema.\n"},
    {codes::kEmptyNotAllowed, "Element '%1' cannot be empty according to the DTD/Schema.\nExpecting: %2.\n"},
    {codes::kElementNotComplete,
     "Content for element '%1' is incomplete according to the DTD/Schema.\nExpecting: %2.\n"},
    {codes::kInvalidContent,
     "Element content is invalid according to the DTD/Schema.\nElement '%1' is unexpected here.\nExpecting: "
     "%2.\n"},
    {codes::kAttributeNotDefined, "The attribute '%1' on this element is not defined in the DTD/Schema.\n"},
    {codes::kAttributeFixed,
     "Attribute '%1' has a value that does not match the fixed value defined in the DTD/Schema.\n"},
    {codes::kAttributeValue,
     "Attribute '%1' has an invalid value according to the DTD/Schema.\nThe value '%2' is not one of the "
     "enumerated values.\n"},
    {codes::kIllegalText, "Text is not allowed in element '%1' according to the DTD/Schema.\n"},
    {codes::kUndeclaredPrefix, "Reference to undeclared namespace prefix: '%1'.\n"},
    {codes::kRequiredAttributeMissing, "Required attribute '%1' is missing on element '%2'.\n"},
    {codes::kSchemaInvalid, "Invalid XDR schema: %1.\n"},
    {codes::kSchemaTypeUndeclared, "The type '%1' is not declared in the schema '%2'.\n"},
    {codes::kDataTypeParse, "Error parsing '%1' as %2 datatype.\n"},
    {codes::kDataTypeLength, "The value '%1' violates the length limits of its datatype: %2.\n"},
    {codes::kDataTypeUnknown, "The datatype '%1' is not supported.\n"},
    {codes::kSchemaDuplicateDeclaration, "The name '%1' is declared twice in the schema.\n"},
    {codes::kSchemaAttributeInvalid, "The value '%2' of schema attribute '%1' is not valid.\n"},
};

}  // namespace

XmlString FormatReason(ErrorCode code, XmlStringView arg1, XmlStringView arg2) {
    const char* pattern = "Unspecified error.\n";
    for (const ReasonTemplate& entry : kReasons) {
        if (entry.code == code) {
            pattern = entry.text;
            break;
        }
    }
    XmlString reason;
    for (const char* p = pattern; *p != '\0'; ++p) {
        if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) {
            reason.append(p[1] == '1' ? arg1 : arg2);
            ++p;
        } else {
            reason.push_back(static_cast<char16_t>(static_cast<unsigned char>(*p)));
        }
    }
    return reason;
}

void LocateError(XmlStringView text, size_t offset, ParseError& error) {
    if (offset > text.size()) offset = text.size();
    long line = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i < offset; ++i) {
        char16_t c = text[i];
        if (c == u'\n' || (c == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n'))) {
            ++line;
            lineStart = i + 1;
        }
    }
    size_t lineEnd = lineStart;
    while (lineEnd < text.size() && text[lineEnd] != u'\n' && text[lineEnd] != u'\r') ++lineEnd;
    error.line = line;
    error.linepos = static_cast<long>(offset - lineStart) + 1;
    error.filepos = static_cast<long>(offset);
    error.srcText.assign(text.substr(lineStart, lineEnd - lineStart));
}

}  // namespace msxml_core
