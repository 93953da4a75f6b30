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
    {"text at top level", "<a/>x", codes::kInvalidAtRootLevel, 1, 5, "<a/>x"},
    {"duplicate attribute", "<a x=\"1\" x=\"2\"/>", codes::kDuplicateAttribute, 1, 10,
     "<a x=\"1\" x=\"2\"/>"},
    {"duplicate through two prefixes", "<a xmlns:p=\"u\" xmlns:q=\"u\" p:x=\"1\" q:x=\"2\"/>",
     codes::kDuplicateAttribute, 1, 36, "<a xmlns:p=\"u\" xmlns:q=\"u\" p:x=\"1\" q:x=\"2\"/>"},
    {"missing equals", "<a x \"1\"/>", codes::kMissingEquals, 1, 6, "<a x \"1\"/>"},
    {"missing quote", "<a x=1/>", codes::kMissingQuote, 1, 6, "<a x=1/>"},
    {"less-than in attribute", "<a x=\"<\"/>", codes::kBadCharInString, 1, 7, "<a x=\"<\"/>"},
    {"unclosed attribute value", "<a x=\"1/>", codes::kUnclosedString, 1, 10, "<a x=\"1/>"},
    {"missing white space between attributes", "<a x=\"1\"y=\"2\"/>", codes::kMissingWhitespace, 1, 9,
     "<a x=\"1\"y=\"2\"/>"},
    {"bad name start", "<1a/>", codes::kBadStartNameChar, 1, 2, "<1a/>"},
    {"two colons", "<a:b:c/>", codes::kMultipleColons, 1, 5, "<a:b:c/>"},
    {"undeclared prefix", "<p:a/>", codes::kUndeclaredPrefix, 1, 1, "<p:a/>"},
    {"undefined entity", "<a>&nbsp;</a>", codes::kMissingEntity, 1, 4, "<a>&nbsp;</a>"},
    {"missing semicolon", "<a>&amp </a>", codes::kMissingSemicolon, 1, 8, "<a>&amp </a>"},
    {"bad decimal reference", "<a>&#1x;</a>", codes::kInvalidDecimal, 1, 7, "<a>&#1x;</a>"},
    {"reference to NUL", "<a>&#0;</a>", codes::kInvalidUnicode, 1, 4, "<a>&#0;</a>"},
    {"control character in text", "<a>\x01</a>", codes::kBadCharData, 1, 4, "<a>\x01</a>"},
    {"CDATA end in text", "<a>]]></a>", codes::kInvalidCDataClosingTag, 1, 4, "<a>]]></a>"},
    {"double hyphen in comment", "<a><!-- a -- b --></a>", codes::kCommentSyntax, 1, 11,
     "<a><!-- a -- b --></a>"},
    {"unclosed comment", "<a><!-- x", codes::kUnclosedComment, 1, 10, "<a><!-- x"},
    {"unclosed CDATA", "<a><![CDATA[x", codes::kUnclosedCData, 1, 14, "<a><![CDATA[x"},
    {"unclosed PI", "<a><?p x", codes::kUnclosedPi, 1, 9, "<a><?p x"},
    {"declaration not first", "<a/><?xml version=\"1.0\"?>", codes::kBadXmlDecl, 1, 7,
     "<a/><?xml version=\"1.0\"?>"},
    {"PI named XML", "<a><?XML x?></a>", codes::kBadXmlCase, 1, 6, "<a><?XML x?></a>"},
    {"declaration without version", "<?xml encoding=\"UTF-8\"?><a/>", codes::kXmlDeclSyntax, 1, 7,
     "<?xml encoding=\"UTF-8\"?><a/>"},
    {"wrong version", "<?xml version=\"2.0\"?><a/>", codes::kInvalidVersion, 1, 16,
     "<?xml version=\"2.0\"?><a/>"},
    {"end tag without start", "</a>", codes::kUnexpectedEndTag, 1, 1, "</a>"},
    {"unclosed start tag", "<a", codes::kUnclosedStartTag, 1, 3, "<a"},
    {"slash not followed by >", "<a/ >", codes::kExpectingTagEnd, 1, 4, "<a/ >"},
    {"white space after ampersand", "<a>& b</a>", codes::kUnexpectedWhitespace, 1, 5, "<a>& b</a>"},
    {"DOCTYPE refused", "<!DOCTYPE a [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><a>&e;</a>",
     codes::kDtdProhibited, 1, 1, "<!DOCTYPE a [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><a>&e;</a>"},
    {"xmlns prefix bound", "<a xmlns:xmlns=\"u\"/>", codes::kReservedNamespace, 1, 4,
     "<a xmlns:xmlns=\"u\"/>"},
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

TEST(ParseErrorTest, FileposCountsCharactersFromTheStart) {
    Document document;
    ASSERT_FALSE(document.LoadXml(U("<a>\n\xC3\xA4<b></c></a>")));
    // "<a>\n" 4, "ä" 1, "<b>" 3, "</" 2: the place is the end tag's name.
    EXPECT_EQ(document.LastError().filepos, 10);
    EXPECT_EQ(document.LastError().linepos, 7);
}

TEST(ParseErrorTest, ReasonNamesTheTags) {
    Document document;
    ASSERT_FALSE(document.LoadXml(U("<FDT><Read></Reed></FDT>")));
    EXPECT_EQ(A(document.LastError().reason), "End tag 'Reed' does not match the start tag 'Read'.\n");
    ASSERT_FALSE(document.LoadXml(U("<FDT><Read>")));
    EXPECT_EQ(A(document.LastError().reason), "The following tags were not closed: FDT, Read.\n");
}

TEST(ParseErrorTest, SuccessfulLoadClearsTheError) {
    Document document;
    ASSERT_FALSE(document.LoadXml(U("<a>")));
    ASSERT_TRUE(document.LoadXml(U("<a/>")));
    EXPECT_EQ(document.LastError().errorCode, codes::kOk);
    EXPECT_TRUE(document.LastError().reason.empty());
}

}  // namespace
}  // namespace msxml_core::test
