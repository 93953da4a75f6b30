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
        {"ancestor into descendant", tree.AppendChild(*child, *r), EditStatus::HierarchyRequest},
        {"node of another tree", tree.AppendChild(*r, *other.CreateElement(u"x")), EditStatus::WrongTree},
        {"reference not a child", tree.InsertBefore(*r, *tree.CreateElement(u"x"), r), EditStatus::NotAChild},
        {"value of an element", tree.SetValue(*r, u"v"), EditStatus::NotAllowed},
        {"invalid attribute name", tree.SetAttribute(*r, u"1a", u"v"), EditStatus::InvalidArgument},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_EQ(testCase.status, testCase.expected);
    }
    EXPECT_EQ(A(Writer::Xml(document)), "<r><child/></r>\r\n");
}

}  // namespace
}  // namespace msxml_core::test
