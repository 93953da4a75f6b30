// Limits on hostile input: nesting, token length, document size, DTDs.
#include "TestSupport.h"

#include "Limits.h"
#include "Writer.h"

#include <gtest/gtest.h>

namespace msxml_core::test {
namespace {

std::string Nested(size_t depth) {
    std::string text;
    for (size_t i = 0; i < depth; ++i) text += "<e>";
    for (size_t i = 0; i < depth; ++i) text += "</e>";
    return text;
}

TEST(SafetyLimitsTest, NestingDepth) {
    Document document;
    ASSERT_TRUE(document.LoadXml(U(Nested(kMaxNestingDepth)))) << Describe(document.LastError());
    // The deepest tree is still written and searched without recursion trouble.
    EXPECT_EQ(A(document.Xml()).size(), Nested(kMaxNestingDepth - 1).size() + 4 + 2);
    std::vector<Node*> nodes;
    XmlString reason;
    ASSERT_TRUE(document.SelectNodes(document.DocumentNode(), u"//e", nodes, reason));
    EXPECT_EQ(nodes.size(), kMaxNestingDepth);

    EXPECT_FALSE(document.LoadXml(U(Nested(kMaxNestingDepth + 1))));
    EXPECT_EQ(Hex(document.LastError().errorCode), Hex(codes::kNestingTooDeep));
    EXPECT_FALSE(document.LoadXml(U(std::string(100000, '<'))));
}

TEST(SafetyLimitsTest, TokenLength) {
    struct Case {
        const char* name;
        std::string text;
        bool ok;
    };
    std::string atLimit(kMaxTokenLength, 'n');
    std::string overLimit(kMaxTokenLength + 1, 'n');
    const Case cases[] = {
        {"name at the limit", "<" + atLimit + "/>", true},
        {"name over the limit", "<" + overLimit + "/>", false},
        {"attribute value over the limit", "<a v=\"" + overLimit + "\"/>", false},
        {"attribute value over the limit through references", "<a v=\"" + atLimit + "&amp;\"/>", false},
        {"long text is fine", "<a>" + overLimit + "</a>", true},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        Document document;
        XmlString text(testCase.text.begin(), testCase.text.end());
        EXPECT_EQ(document.LoadXml(text), testCase.ok);
        if (!testCase.ok) {
            EXPECT_EQ(Hex(document.LastError().errorCode), Hex(codes::kTokenTooLong));
        }
    }
}

TEST(SafetyLimitsTest, DocumentSize) {
    std::string bytes = "<a>" + std::string(kMaxDocumentBytes, ' ') + "</a>";
    Document document;
    EXPECT_FALSE(
        document.LoadBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), u"big.xml"));
    EXPECT_EQ(Hex(document.LastError().errorCode), Hex(codes::kDocumentTooLarge));
    XmlString text = u"<a>" + XmlString(kMaxDocumentBytes / 2, u' ') + u"</a>";
    EXPECT_FALSE(document.LoadXml(text));
    EXPECT_EQ(Hex(document.LastError().errorCode), Hex(codes::kDocumentTooLarge));
}

TEST(SafetyLimitsTest, NoExternalResourceIsEverFetched) {
    // Neither a DOCTYPE with an external subset nor an entity can reach out.
    const char* const inputs[] = {
        "<!DOCTYPE a SYSTEM \"http://127.0.0.1/x.dtd\"><a/>",
        "<?xml version=\"1.0\"?>\n<!DOCTYPE a [<!ENTITY x SYSTEM \"/etc/passwd\">]><a>&x;</a>",
        "<a><!DOCTYPE a></a>",
    };
    for (const char* input : inputs) {
        SCOPED_TRACE(input);
        Document document;
        EXPECT_FALSE(document.LoadXml(U(input)));
        EXPECT_EQ(Hex(document.LastError().errorCode), Hex(codes::kDtdProhibited));
    }
}

}  // namespace
}  // namespace msxml_core::test
