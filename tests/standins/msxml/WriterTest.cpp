// The xml property of single nodes and the bytes of save().
#include "TestSupport.h"

#include "Writer.h"

#include <gtest/gtest.h>

namespace msxml_core::test {
namespace {

TEST(WriterTest, XmlOfSingleNodes) {
    Document document;
    ASSERT_TRUE(document.LoadXml(U("<a x=\"1\"><b>t&amp;</b><!--c--><?p d?><![CDATA[z]]></a>")));
    Node* a = document.DocumentNode().DocumentElement();
    struct Case {
        const char* name;
        const Node* node;
        const char* xml;
    } cases[] = {
        {"element without trailing line", a, "<a x=\"1\"><b>t&amp;</b><!--c--><?p d?><![CDATA[z]]></a>"},
        {"attribute", a->FirstAttribute(), "x=\"1\""},
        {"comment", a->ChildAt(1), "<!--c-->"},
        {"CDATA", a->ChildAt(3), "<![CDATA[z]]>"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_EQ(A(Writer::Xml(*testCase.node)), testCase.xml);
    }
}

TEST(WriterTest, EscapesBuiltValues) {
    Tree tree;
    Node* a = tree.CreateElement(u"a");
    ASSERT_EQ(tree.AppendChild(tree.DocumentNode(), *a), EditStatus::Ok);
    ASSERT_EQ(tree.SetAttribute(*a, u"v", u"<\"&'>\t\n"), EditStatus::Ok);
    ASSERT_EQ(tree.AppendChild(*a, *tree.CreateTextNode(u"<&>\"'")), EditStatus::Ok);
    ASSERT_EQ(tree.AppendChild(*a, *tree.CreateCDataSection(u"x]]>y")), EditStatus::Ok);
    EXPECT_EQ(A(Writer::Xml(*a)),
              "<a v=\"&lt;&quot;&amp;'>&#9;&#10;\">&lt;&amp;&gt;\"'<![CDATA[x]]]]><![CDATA[>y]]></a>");
    // What was written reads back to the same values.
    Document reread;
    ASSERT_TRUE(reread.LoadXml(Writer::Xml(*a)));
    Node* b = reread.DocumentNode().DocumentElement();
    EXPECT_EQ(A(b->FindAttribute(u"v")->Value()), "<\"&'>\t\n");
    EXPECT_EQ(A(b->FirstChild()->Value()), "<&>\"'");
    EXPECT_EQ(A(b->FirstChild()->NextSibling()->Value()) + A(b->LastChild()->Value()), "x]]>y");
}

TEST(WriterTest, SaveWritesTheDeclarationAndItsEncoding) {
    struct Case {
        const char* name;
        const char* input;
        std::string bytes;
    } cases[] = {
        {"declaration added when missing", "<a>\xC3\xA4</a>",
         "<?xml version=\"1.0\"?>\r\n<a>\xC3\xA4</a>\r\n"},
        {"ISO-8859-1 encodes single bytes and references the rest",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xC3\xA4\xE2\x82\xAC</a>",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<a>\xE4&#8364;</a>\r\n"},
        {"windows-1252 has the euro sign",
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\xE2\x82\xAC</a>",
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<a>\x80</a>\r\n"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        Document document;
        ASSERT_TRUE(document.LoadXml(U(testCase.input)));
        std::string saved = document.Save();
        EXPECT_EQ(saved, testCase.bytes);
        Document reloaded;
        ASSERT_TRUE(
            reloaded.LoadBytes(reinterpret_cast<const uint8_t*>(saved.data()), saved.size(), u"saved.xml"))
            << Describe(reloaded.LastError());
        EXPECT_EQ(A(Writer::Xml(*reloaded.DocumentNode().DocumentElement())),
                  A(Writer::Xml(*document.DocumentNode().DocumentElement())));
    }
}

}  // namespace
}  // namespace msxml_core::test
