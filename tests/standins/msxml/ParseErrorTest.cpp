// Malformed input: the code, place and reason of the parse error, and the
// document left empty.
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace msxml_core::test {
namespace {

struct MalformedCase {
    const char* name;
    const char* input;
    ErrorCode code;
    long line;
    long linepos;
    const char* srcText;
};

const MalformedCase kMalformed[] = {
    {"empty text", "", codes::kMissingRoot, 1, 1, ""},
    {"end tag mismatch", "<a>\n  <b></c>\n</a>", codes::kEndTagMismatch, 2, 8, "  <b></c>"},
    {"unclosed element", "<a><b/>", codes::kUnclosedTag, 1, 8, "<a><b/>"},
    {"two roots", "<a/>\r\n<b/>", codes::kMultipleRoots, 2, 1, "<b/>"},
    {"duplicate attribute", "<a x=\"1\" x=\"2\"/>", codes::kDuplicateAttribute, 1, 10,
     "<a x=\"1\" x=\"2\"/>"},
    {"missing quote", "<a x=1/>", codes::kMissingQuote, 1, 6, "<a x=1/>"},
    {"undeclared prefix", "<p:a/>", codes::kUndeclaredPrefix, 1, 1, "<p:a/>"},
    {"undefined entity", "<a>&nbsp;</a>", codes::kMissingEntity, 1, 4, "<a>&nbsp;</a>"},
    {"reference to NUL", "<a>&#0;</a>", codes::kInvalidUnicode, 1, 4, "<a>&#0;</a>"},
    {"control character in text", "<a>\x01</a>", codes::kBadCharData, 1, 4, "<a>\x01</a>"},
    {"unclosed comment", "<a><!-- x", codes::kUnclosedComment, 1, 10, "<a><!-- x"},
    {"DOCTYPE refused", "<!DOCTYPE a [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><a>&e;</a>",
     codes::kDtdProhibited, 1, 1, "<!DOCTYPE a [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><a>&e;</a>"},
    {"error on third line after CRLF", "<a>\r\n<b>\r\n</c></b></a>", codes::kEndTagMismatch, 3, 3,
     "</c></b></a>"},
};

TEST(ParseErrorTest, ReportsCodeAndPlaceOfMalformedInput) {
    for (const MalformedCase& testCase : kMalformed) {
        SCOPED_TRACE(testCase.name);
        Document document;
        EXPECT_FALSE(document.LoadXml(U(testCase.input)));
        const ParseError& error = document.LastError();
        EXPECT_EQ(Hex(error.errorCode), Hex(testCase.code)) << A(error.reason);
        EXPECT_EQ(error.line, testCase.line);
        EXPECT_EQ(error.linepos, testCase.linepos);
        EXPECT_EQ(A(error.srcText), testCase.srcText);
        EXPECT_FALSE(error.reason.empty());
        EXPECT_EQ(error.reason.back(), u'\n');
        EXPECT_EQ(document.DocumentNode().FirstChild(), nullptr);
    }
}

}  // namespace
}  // namespace msxml_core::test
