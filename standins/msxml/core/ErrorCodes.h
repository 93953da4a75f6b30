// Error codes of the MSXML stand-in core.
//
// The values follow MSXML 3's numbering as far as it is known: XML_E_* syntax
// errors in 0xC00CE5xx, validation errors (XML_*) in 0xC00CE0xx, XDR schema and
// data type errors in 0xC00CE1xx. The safety limits have no counterpart in MSXML 3
// and use codes of their own above the last syntax code. Callers (the COM layer,
// the missing-schema recovery) compare codes exactly, so a value never changes.
#pragma once

#include <cstdint>

namespace msxml_core {

using ErrorCode = uint32_t;

namespace codes {

constexpr ErrorCode kOk = 0;

// Not found: a schema the document names is neither in the collection nor loadable
// (INET_E_OBJECT_NOT_FOUND, as MSXML reports a resource it cannot fetch).
constexpr ErrorCode kObjectNotFound = 0x800C0006;
constexpr ErrorCode kFail = 0x80004005;
constexpr ErrorCode kInvalidArgument = 0x80070057;
constexpr ErrorCode kOutOfMemory = 0x8007000E;

// Syntax (XML_E_*).
constexpr ErrorCode kMissingEquals = 0xC00CE501;
constexpr ErrorCode kMissingQuote = 0xC00CE502;
constexpr ErrorCode kCommentSyntax = 0xC00CE503;
constexpr ErrorCode kBadStartNameChar = 0xC00CE504;
constexpr ErrorCode kBadNameChar = 0xC00CE505;
constexpr ErrorCode kBadCharInString = 0xC00CE506;
constexpr ErrorCode kXmlDeclSyntax = 0xC00CE507;
constexpr ErrorCode kBadCharData = 0xC00CE508;
constexpr ErrorCode kMissingWhitespace = 0xC00CE509;
constexpr ErrorCode kExpectingTagEnd = 0xC00CE50A;
constexpr ErrorCode kMissingSemicolon = 0xC00CE50D;
constexpr ErrorCode kBadCharInEntityRef = 0xC00CE50E;
constexpr ErrorCode kUnexpectedWhitespace = 0xC00CE513;
constexpr ErrorCode kPiDeclSyntax = 0xC00CE51A;
constexpr ErrorCode kMultipleColons = 0xC00CE51C;
constexpr ErrorCode kInvalidDecimal = 0xC00CE51D;
constexpr ErrorCode kInvalidHexadecimal = 0xC00CE51E;
constexpr ErrorCode kInvalidUnicode = 0xC00CE51F;
constexpr ErrorCode kUnexpectedEndTag = 0xC00CE552;
constexpr ErrorCode kUnclosedTag = 0xC00CE553;
constexpr ErrorCode kDuplicateAttribute = 0xC00CE554;
constexpr ErrorCode kMultipleRoots = 0xC00CE555;
constexpr ErrorCode kInvalidAtRootLevel = 0xC00CE556;
constexpr ErrorCode kBadXmlDecl = 0xC00CE557;
constexpr ErrorCode kMissingRoot = 0xC00CE558;
constexpr ErrorCode kUnexpectedEof = 0xC00CE559;
constexpr ErrorCode kInvalidCDataClosingTag = 0xC00CE55C;
constexpr ErrorCode kUnclosedPi = 0xC00CE55D;
constexpr ErrorCode kUnclosedStartTag = 0xC00CE55E;
constexpr ErrorCode kUnclosedEndTag = 0xC00CE55F;
constexpr ErrorCode kUnclosedString = 0xC00CE560;
constexpr ErrorCode kUnclosedComment = 0xC00CE561;
constexpr ErrorCode kUnclosedCData = 0xC00CE564;
constexpr ErrorCode kReservedNamespace = 0xC00CE568;
constexpr ErrorCode kEndTagMismatch = 0xC00CE56D;
constexpr ErrorCode kInvalidEncoding = 0xC00CE56E;
constexpr ErrorCode kInvalidSwitch = 0xC00CE56F;
constexpr ErrorCode kBadXmlCase = 0xC00CE576;
constexpr ErrorCode kMissingEntity = 0xC00CE57C;
constexpr ErrorCode kInvalidVersion = 0xC00CE57F;
// Safety limits of the stand-in.
constexpr ErrorCode kDtdProhibited = 0xC00CE590;
constexpr ErrorCode kNestingTooDeep = 0xC00CE591;
constexpr ErrorCode kTokenTooLong = 0xC00CE592;
constexpr ErrorCode kDocumentTooLarge = 0xC00CE593;

// Validation (XML_*).
constexpr ErrorCode kElementUndeclared = 0xC00CE00D;
constexpr ErrorCode kEmptyNotAllowed = 0xC00CE011;
constexpr ErrorCode kElementNotComplete = 0xC00CE012;
constexpr ErrorCode kInvalidContent = 0xC00CE014;
constexpr ErrorCode kAttributeNotDefined = 0xC00CE015;
constexpr ErrorCode kAttributeFixed = 0xC00CE016;
constexpr ErrorCode kAttributeValue = 0xC00CE017;
constexpr ErrorCode kIllegalText = 0xC00CE018;
constexpr ErrorCode kUndeclaredPrefix = 0xC00CE01D;
constexpr ErrorCode kRequiredAttributeMissing = 0xC00CE020;

// XDR schemas and data types.
constexpr ErrorCode kSchemaInvalid = 0xC00CE100;
constexpr ErrorCode kSchemaTypeUndeclared = 0xC00CE101;
constexpr ErrorCode kDataTypeParse = 0xC00CE102;
constexpr ErrorCode kDataTypeLength = 0xC00CE103;
constexpr ErrorCode kDataTypeUnknown = 0xC00CE104;
constexpr ErrorCode kSchemaDuplicateDeclaration = 0xC00CE105;
constexpr ErrorCode kSchemaAttributeInvalid = 0xC00CE106;

}  // namespace codes
}  // namespace msxml_core
