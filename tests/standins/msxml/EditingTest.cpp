// Building and editing: the operations the COM layer maps createElement,
// createNode, appendChild, insertBefore, removeChild, setAttribute, text and
// nodeValue onto.
#include "TestSupport.h"

#include "Writer.h"

#include <gtest/gtest.h>

namespace msxml_core::test {
namespace {

class EditingTest : public ::testing::Test {
protected:
    Tree tree;
    Node& document = tree.DocumentNode();
};

TEST_F(EditingTest, BuildsADocumentAsTheParameterWriterDoes) {
    Node* pi = tree.CreateProcessingInstruction(u"xml", u"version=\"1.0\"");
    Node* root = tree.CreateElement(u"FDT", u"x-schema:DTMParameterSchema.xml");
    ASSERT_EQ(tree.AppendChild(document, *pi), EditStatus::Ok);
    ASSERT_EQ(tree.AppendChild(document, *root), EditStatus::Ok);
    ASSERT_EQ(tree.SetAttribute(*root, u"xmlns", u"x-schema:DTMParameterSchema.xml"), EditStatus::Ok);
    ASSERT_EQ(tree.SetAttribute(*root, u"xmlns:fdt", u"x-schema:FDTDataTypesSchema.xml"), EditStatus::Ok);
    Node* group = tree.CreateElement(u"fdt:DtmVariables", u"x-schema:FDTDataTypesSchema.xml");
    ASSERT_EQ(tree.AppendChild(*root, *group), EditStatus::Ok);
    ASSERT_EQ(tree.SetAttribute(*group, u"name", u"A&B"), EditStatus::Ok);
    ASSERT_EQ(tree.SetAttribute(*root, u"fdt:storageState", u"persistent"), EditStatus::Ok);
    EXPECT_EQ(A(root->FindAttribute(u"fdt:storageState")->NamespaceUri()), "x-schema:FDTDataTypesSchema.xml");
    EXPECT_EQ(A(Writer::Xml(document)),
              "<?xml version=\"1.0\"?>\r\n<FDT xmlns=\"x-schema:DTMParameterSchema.xml\" "
              "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\" fdt:storageState=\"persistent\">"
              "<fdt:DtmVariables name=\"A&amp;B\"/></FDT>\r\n");
}

TEST_F(EditingTest, InsertBeforeAndRemoveKeepLinksConsistent) {
    Node* r = tree.CreateElement(u"r");
    ASSERT_EQ(tree.AppendChild(document, *r), EditStatus::Ok);
    Node* a = tree.CreateElement(u"a");
    Node* b = tree.CreateElement(u"b");
    Node* c = tree.CreateElement(u"c");
    ASSERT_EQ(tree.AppendChild(*r, *c), EditStatus::Ok);
    ASSERT_EQ(tree.InsertBefore(*r, *a, c), EditStatus::Ok);
    ASSERT_EQ(tree.InsertBefore(*r, *b, c), EditStatus::Ok);
    EXPECT_EQ(A(Writer::Xml(*r)), "<r><a/><b/><c/></r>");
    // Moving an attached node takes it from its old place.
    ASSERT_EQ(tree.AppendChild(*r, *a), EditStatus::Ok);
    EXPECT_EQ(A(Writer::Xml(*r)), "<r><b/><c/><a/></r>");
    ASSERT_EQ(tree.RemoveChild(*r, *c), EditStatus::Ok);
    EXPECT_EQ(A(Writer::Xml(*r)), "<r><b/><a/></r>");
    EXPECT_EQ(c->Parent(), nullptr);
    EXPECT_EQ(b->NextSibling(), a);
    EXPECT_EQ(a->PreviousSibling(), b);
    EXPECT_EQ(r->LastChild(), a);
    // The removed node lives on and can be inserted again.
    ASSERT_EQ(tree.InsertBefore(*r, *c, nullptr), EditStatus::Ok);
    EXPECT_EQ(A(Writer::Xml(*r)), "<r><b/><a/><c/></r>");
}

TEST_F(EditingTest, RefusesInvalidStructure) {
    Node* r = tree.CreateElement(u"r");
    Node* child = tree.CreateElement(u"child");
    ASSERT_EQ(tree.AppendChild(document, *r), EditStatus::Ok);
    ASSERT_EQ(tree.AppendChild(*r, *child), EditStatus::Ok);
    Tree other;
    struct Case {
        const char* name;
        EditStatus status;
        EditStatus expected;
    } cases[] = {
        {"second document element", tree.AppendChild(document, *tree.CreateElement(u"x")),
         EditStatus::HierarchyRequest},
        {"text at document level", tree.AppendChild(document, *tree.CreateTextNode(u"t")),
         EditStatus::HierarchyRequest},
        {"ancestor into descendant", tree.AppendChild(*child, *r), EditStatus::HierarchyRequest},
        {"node into itself", tree.AppendChild(*child, *child), EditStatus::HierarchyRequest},
        {"attribute as child", tree.AppendChild(*r, *tree.CreateAttribute(u"a")),
         EditStatus::HierarchyRequest},
        {"child into a text node", tree.AppendChild(*tree.CreateTextNode(u"t"), *tree.CreateElement(u"x")),
         EditStatus::HierarchyRequest},
        {"node of another tree", tree.AppendChild(*r, *other.CreateElement(u"x")), EditStatus::WrongTree},
        {"reference not a child", tree.InsertBefore(*r, *tree.CreateElement(u"x"), r), EditStatus::NotAChild},
        {"remove a non-child", tree.RemoveChild(*child, *r), EditStatus::NotAChild},
        {"value of an element", tree.SetValue(*r, u"v"), EditStatus::NotAllowed},
        {"attribute on a text node", tree.SetAttribute(*tree.CreateTextNode(u"t"), u"a", u"v"),
         EditStatus::NotAllowed},
        {"invalid attribute name", tree.SetAttribute(*r, u"1a", u"v"), EditStatus::InvalidArgument},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_EQ(testCase.status, testCase.expected);
    }
    EXPECT_EQ(A(Writer::Xml(document)), "<r><child/></r>\r\n");
}

TEST_F(EditingTest, FactoriesCheckNames) {
    for (const char16_t* name : {u"", u"a b", u":a", u"a:", u"a:b:c"})
        EXPECT_EQ(tree.CreateElement(name), nullptr);
    EXPECT_EQ(tree.CreateProcessingInstruction(u"1x", u""), nullptr);
    Node* element = tree.CreateElement(u"p:a", u"urn:p");
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(A(element->Prefix()), "p");
    EXPECT_EQ(A(element->NamespaceUri()), "urn:p");
}

TEST_F(EditingTest, TextAndValueSetters) {
    Node* r = tree.CreateElement(u"r");
    ASSERT_EQ(tree.AppendChild(document, *r), EditStatus::Ok);
    ASSERT_EQ(tree.AppendChild(*r, *tree.CreateElement(u"old")), EditStatus::Ok);
    ASSERT_EQ(tree.SetText(*r, u"a<b"), EditStatus::Ok);
    EXPECT_EQ(A(Writer::Xml(*r)), "<r>a&lt;b</r>");
    EXPECT_EQ(A(r->Text()), "a<b");
    ASSERT_EQ(tree.SetText(*r, u""), EditStatus::Ok);
    EXPECT_EQ(A(Writer::Xml(*r)), "<r/>");
    ASSERT_EQ(tree.SetAttribute(*r, u"v", u"1"), EditStatus::Ok);
    ASSERT_EQ(tree.SetAttribute(*r, u"v", u"2"), EditStatus::Ok);
    EXPECT_EQ(r->AttributeCount(), 1u);
    Node* v = r->FindAttribute(u"v");
    ASSERT_EQ(tree.SetValue(*v, u"3"), EditStatus::Ok);
    EXPECT_EQ(A(v->Text()), "3");
    ASSERT_EQ(tree.RemoveAttribute(*r, u"v"), EditStatus::Ok);
    EXPECT_EQ(r->AttributeCount(), 0u);
    // An attribute node moves onto an element; a second element cannot take it.
    Node* attribute = tree.CreateAttribute(u"w");
    ASSERT_EQ(tree.SetAttributeNode(*r, *attribute), EditStatus::Ok);
    EXPECT_EQ(tree.SetAttributeNode(*tree.CreateElement(u"x"), *attribute), EditStatus::HierarchyRequest);
}

TEST_F(EditingTest, FragmentMovesItsChildren) {
    Node* r = tree.CreateElement(u"r");
    ASSERT_EQ(tree.AppendChild(document, *r), EditStatus::Ok);
    Node* fragment = tree.CreateDocumentFragment();
    ASSERT_EQ(tree.AppendChild(*fragment, *tree.CreateElement(u"a")), EditStatus::Ok);
    ASSERT_EQ(tree.AppendChild(*fragment, *tree.CreateTextNode(u"t")), EditStatus::Ok);
    ASSERT_EQ(tree.AppendChild(*r, *fragment), EditStatus::Ok);
    EXPECT_EQ(A(Writer::Xml(*r)), "<r><a/>t</r>");
    EXPECT_EQ(fragment->FirstChild(), nullptr);
}

}  // namespace
}  // namespace msxml_core::test
