// Well-formed input: the tree the parser builds and the xml it writes back.
#include "TestSupport.h"

#include "Writer.h"

#include <gtest/gtest.h>

namespace msxml_core::test {
namespace {

struct RoundTripCase {
    const char* name;
    const char* input;
    const char* expectedXml;  // Document::Xml() after LoadXml
};

const RoundTripCase kRoundTrips[] = {
    {"empty element", "<a></a>", "<a/>\r\n"},
    {"declaration keeps version, drops encoding", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>",
     "<?xml version=\"1.0\"?>\r\n<a/>\r\n"},
    {"white space between elements dropped", "<a>\n  <b/>\n  <c/>\n</a>", "<a><b/><c/></a>\r\n"},
    {"predefined entities", "<a t=\"&lt;&amp;&quot;&apos;&gt;\">&lt;&amp;&gt;&quot;&apos;</a>",
     "<a t=\"&lt;&amp;&quot;'>\">&lt;&amp;&gt;\"'</a>\r\n"},
    {"character references", "<a>&#65;&#x42;&#x10000;</a>", "<a>AB\xF0\x90\x80\x80</a>\r\n"},
    {"attribute value normalisation", "<a v=\"1\n2\t3\"/>", "<a v=\"1 2 3\"/>\r\n"},
    {"CRLF in text becomes LF, written as CRLF", "<a>1\r\n2\r3</a>", "<a>1\r\n2\r\n3</a>\r\n"},
    {"CDATA kept", "<a><![CDATA[<x>&]]></a>", "<a><![CDATA[<x>&]]></a>\r\n"},
    {"comment and PI", "<!--c--><?pi data?><a><!-- in --><?p?></a>",
     "<!--c-->\r\n<?pi data?>\r\n<a><!-- in --><?p?></a>\r\n"},
    {"namespaces kept as written", "<p:a xmlns:p=\"urn:p\" xmlns=\"urn:d\"><b p:x=\"1\"/></p:a>",
     "<p:a xmlns:p=\"urn:p\" xmlns=\"urn:d\"><b p:x=\"1\"/></p:a>\r\n"},
    {"document template with tabs and blanks",
     "<?xml version=\"1.0\"?> <FDT \txmlns\t\t=\"x-schema:A.xml\" \txmlns:func\t=\"x-schema:B.xml\"> "
     "\t<FDTFunctionCall "
     "func:functionId=\"2\"/> </FDT>",
     "<?xml version=\"1.0\"?>\r\n<FDT xmlns=\"x-schema:A.xml\" "
     "xmlns:func=\"x-schema:B.xml\"><FDTFunctionCall "
     "func:functionId=\"2\"/></FDT>\r\n"},
};

TEST(ParserTest, RoundTripsThroughXml) {
    for (const RoundTripCase& testCase : kRoundTrips) {
        SCOPED_TRACE(testCase.name);
        Document document;
        document.SetValidateOnParse(false);
        ASSERT_TRUE(document.LoadXml(U(testCase.input))) << Describe(document.LastError());
        std::string xml = A(document.Xml());
        EXPECT_EQ(xml, testCase.expectedXml);
        // Reloading what was written gives the same text again.
        Document again;
        again.SetValidateOnParse(false);
        ASSERT_TRUE(again.LoadXml(U(xml))) << Describe(again.LastError());
        EXPECT_EQ(A(again.Xml()), xml);
    }
}

TEST(ParserTest, BuildsNamesAndNamespaces) {
    Document document;
    ASSERT_TRUE(
        document.LoadXml(U("<p:a xmlns:p=\"urn:p\" xmlns=\"urn:d\" x=\"1\" p:y=\"2\"><b/><p:c/></p:a>")));
    Node* root = document.DocumentNode().DocumentElement();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(A(root->NodeName()), "p:a");
    EXPECT_EQ(A(root->Prefix()), "p");
    EXPECT_EQ(A(root->LocalName()), "a");
    EXPECT_EQ(A(root->NamespaceUri()), "urn:p");
    EXPECT_EQ(root->AttributeCount(), 4u);
    EXPECT_EQ(A(root->FindAttribute(u"x")->NamespaceUri()), "");
    EXPECT_EQ(A(root->FindAttribute(u"urn:p", u"y")->Value()), "2");
    EXPECT_EQ(A(root->FindAttribute(u"xmlns")->NamespaceUri()), "http://www.w3.org/2000/xmlns/");
    Node* b = root->FirstChild();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(A(b->NamespaceUri()), "urn:d");  // default namespace
    Node* c = b->NextSibling();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(A(c->NamespaceUri()), "urn:p");
    EXPECT_EQ(c->Parent(), root);
    EXPECT_EQ(c->PreviousSibling(), b);
    EXPECT_EQ(root->ChildCount(), 2u);
    EXPECT_EQ(root->ChildAt(1), c);
}

TEST(ParserTest, FailedLoadLeavesEmptyDocumentAndKeepsOldNodesAlive) {
    Document document;
    ASSERT_TRUE(document.LoadXml(U("<a><b/></a>")));
    std::shared_ptr<Tree> oldTree = document.GetTree();
    Node* oldB = document.DocumentNode().DocumentElement()->FirstChild();
    EXPECT_FALSE(document.LoadXml(U("<a><b></a>")));
    EXPECT_EQ(document.DocumentNode().FirstChild(), nullptr);
    EXPECT_EQ(A(document.Xml()), "");
    // A wrapper that still holds the old tree still has a valid node.
    EXPECT_EQ(A(oldB->NodeName()), "b");
}

}  // namespace
}  // namespace msxml_core::test
