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
        {"child element", a->FirstChild(), "<b>t&amp;</b>"},
        {"text node", a->FirstChild()->FirstChild(), "t&amp;"},
        {"attribute", a->FirstAttribute(), "x=\"1\""},
        {"comment", a->ChildAt(1), "<!--c-->"},
        {"processing instruction", a->ChildAt(2), "<?p d?>"},
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

TEST(WriterTest, DeclaresNamespacesThatAreNotInScope) {
    Tree tree;
    Node* root = tree.CreateElement(u"r");
    ASSERT_EQ(tree.AppendChild(tree.DocumentNode(), *root), EditStatus::Ok);
    Node* created = tree.CreateElement(u"p:a", u"urn:p");
    ASSERT_EQ(tree.AppendChild(*root, *created), EditStatus::Ok);
    ASSERT_EQ(tree.AppendChild(*created, *tree.CreateElement(u"p:b", u"urn:p")), EditStatus::Ok);
    ASSERT_EQ(tree.AppendChild(*root, *tree.CreateElement(u"c", u"urn:c")), EditStatus::Ok);
    Node* attribute = tree.CreateAttribute(u"q:x", u"urn:q");
    ASSERT_EQ(tree.SetAttributeNode(*root, *attribute), EditStatus::Ok);
    EXPECT_EQ(A(Writer::Xml(*root)),
              "<r q:x=\"\" xmlns:q=\"urn:q\"><p:a xmlns:p=\"urn:p\"><p:b/></p:a><c xmlns=\"urn:c\"/></r>");

    // A subtree written on its own carries the declarations it relies on.
    Document document;
    ASSERT_TRUE(document.LoadXml(
        U("<a xmlns=\"urn:d\" xmlns:f=\"urn:f\"><b f:x=\"1\"><f:c/></b><e xmlns=\"\"/></a>")));
    Node* b = document.DocumentNode().DocumentElement()->FirstChild();
    EXPECT_EQ(A(Writer::Xml(*b)), "<b f:x=\"1\" xmlns=\"urn:d\" xmlns:f=\"urn:f\"><f:c/></b>");
    EXPECT_EQ(A(Writer::Xml(*b->NextSibling())), "<e xmlns=\"\"/>");
    EXPECT_EQ(A(document.Xml()),
              "<a xmlns=\"urn:d\" xmlns:f=\"urn:f\"><b f:x=\"1\"><f:c/></b><e xmlns=\"\"/></a>\r\n");
}

TEST(WriterTest, SaveWritesTheDeclarationAndItsEncoding) {
    struct Case {
        const char* name;
        const char* input;
        std::string bytes;
    } cases[] = {
        {"declaration added when missing", "<a>\xC3\xA4</a>",
         "<?xml version=\"1.0\"?>\r\n<a>\xC3\xA4</a>\r\n"},
        {"UTF-8 declaration kept", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xC3\xA4</a>",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<a>\xC3\xA4</a>\r\n"},
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

TEST(WriterTest, SaveInUtf16HasAByteOrderMark) {
    Document document;
    ASSERT_TRUE(document.LoadXml(U("<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>")));
    std::string saved = document.Save();
    ASSERT_GE(saved.size(), 4u);
    EXPECT_EQ(saved.substr(0, 4), std::string("\xFF\xFE<\0", 4));
    Document reloaded;
    ASSERT_TRUE(reloaded.LoadBytes(reinterpret_cast<const uint8_t*>(saved.data()), saved.size(), u"x"));
    EXPECT_EQ(A(reloaded.Xml()), "<?xml version=\"1.0\"?>\r\n<a/>\r\n");
}

TEST(WriterTest, SchemaDefaultAttributesAreNotWritten) {
    auto schemas =
        MakeSchemas({{"x-schema:s.xml",
                      "<Schema xmlns=\"urn:schemas-microsoft-com:xml-data\">"
                      "<AttributeType name=\"mode\" default=\"auto\"/>"
                      "<ElementType name=\"a\" content=\"empty\"><attribute type=\"mode\"/></ElementType>"
                      "</Schema>"}});
    auto loaded = LoadWithSchemas("<a xmlns=\"x-schema:s.xml\"/>", schemas);
    ASSERT_TRUE(loaded->loaded) << Describe(loaded->document.LastError());
    Node* a = loaded->document.DocumentNode().DocumentElement();
    Node* mode = a->FindAttribute(u"mode");
    ASSERT_NE(mode, nullptr);
    EXPECT_FALSE(mode->IsSpecified());
    EXPECT_EQ(A(mode->Value()), "auto");
    EXPECT_EQ(A(Writer::Xml(*a)), "<a xmlns=\"x-schema:s.xml\"/>");
}

}  // namespace
}  // namespace msxml_core::test
