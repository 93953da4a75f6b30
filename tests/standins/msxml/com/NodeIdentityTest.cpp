// Node identity and lifetime: one COM object per node, nodes keep their document alive, and every object
// of the server goes when its last reference goes.
#include "MsxmlTestSupport.h"

namespace msxmltest {
namespace {

class NodeIdentityTest : public MsxmlTest {};

const wchar_t kDocument[] = L"<r a=\"1\"><c>x</c><c>y</c></r>";

TEST_F(NodeIdentityTest, SameNodeIsTheSameObjectWhicheverWayItIsReached) {
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), kDocument, &loaded)});

    ql::ComPtr<IXMLDOMElement> root;
    ASSERT_EQ(S_OK, document->get_documentElement(root.Put()));
    ql::ComPtr<IXMLDOMNode> selected = SelectSingle(document.Get(), L"r");
    ql::ComPtr<IXMLDOMNode> first;
    ASSERT_EQ(S_OK, document->get_firstChild(first.Put()));
    EXPECT_EQ(IdentityOf(root.Get()), IdentityOf(selected.Get()));
    EXPECT_EQ(IdentityOf(root.Get()), IdentityOf(first.Get()));

    ql::Bstr name(L"a");
    ql::ComPtr<IXMLDOMAttribute> byName;
    ASSERT_EQ(S_OK, root->getAttributeNode(name.Get(), byName.Put()));
    ql::ComPtr<IXMLDOMNode> byPath = SelectSingle(document.Get(), L"r/@a");
    EXPECT_EQ(IdentityOf(byName.Get()), IdentityOf(byPath.Get()));

    ql::ComPtr<IXMLDOMNode> parent;
    ASSERT_EQ(S_OK, root->get_parentNode(parent.Put()));
    EXPECT_EQ(IdentityOf(document.Get()), IdentityOf(parent.Get()));
    ql::ComPtr<IXMLDOMNode> attributeParent;
    EXPECT_EQ(Hr{S_FALSE}, Hr{byName->get_parentNode(attributeParent.Put())});

    ql::ComPtr<IXMLDOMNode> sibling;
    ql::ComPtr<IXMLDOMNode> firstC = SelectSingle(document.Get(), L"r/c");
    ASSERT_EQ(S_OK, firstC->get_nextSibling(sibling.Put()));
    EXPECT_NE(IdentityOf(firstC.Get()), IdentityOf(sibling.Get()));
    EXPECT_EQ(L"y", TextOf(sibling.Get()));
}

TEST_F(NodeIdentityTest, NodeKeepsItsDocumentAlive) {
    ql::ComPtr<IXMLDOMNode> child;
    {
        ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
        VARIANT_BOOL loaded = VARIANT_FALSE;
        ASSERT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), kDocument, &loaded)});
        child = SelectSingle(document.Get(), L"r/c");
    }
    ASSERT_TRUE(child);
    EXPECT_EQ(L"x", TextOf(child.Get()));
    ql::ComPtr<IXMLDOMDocument> owner;
    ASSERT_EQ(S_OK, child->get_ownerDocument(owner.Put()));
    EXPECT_EQ(L"<r a=\"1\"><c>x</c><c>y</c></r>\r\n", XmlOf(owner.Get()));
    EXPECT_EQ(Hr{S_FALSE}, Hr{ServerCanUnloadNow()});
    owner.Reset();
    child.Reset();
    EXPECT_EQ(Hr{S_OK}, Hr{ServerCanUnloadNow()});
}

TEST_F(NodeIdentityTest, EveryObjectGoesWithItsLastReference) {
    {
        ql::ComPtr<IXMLDOMSchemaCollection> cache = SchemaCacheWith({L"FDTOperationPhaseSchema.xml"});
        ql::ComPtr<IXMLDOMDocument2> document = DocumentWith(cache.Get());
        VARIANT_BOOL loaded = VARIANT_FALSE;
        ASSERT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), kDocument, &loaded)});
        ql::ComPtr<IXMLDOMNodeList> list;
        ql::Bstr query(L"//c");
        ASSERT_EQ(S_OK, document->selectNodes(query.Get(), list.Put()));
        ql::ComPtr<IXMLDOMNode> item;
        ASSERT_EQ(S_OK, list->get_item(1, item.Put()));
        ql::ComPtr<IXMLDOMNamedNodeMap> attributes;
        ql::ComPtr<IXMLDOMNode> root = SelectSingle(document.Get(), L"r");
        ASSERT_EQ(S_OK, root->get_attributes(attributes.Put()));
        ql::ComPtr<IXMLDOMParseError> error;
        ASSERT_EQ(S_OK, document->get_parseError(error.Put()));
        EXPECT_EQ(Hr{S_FALSE}, Hr{ServerCanUnloadNow()});
    }
    EXPECT_EQ(Hr{S_OK}, Hr{ServerCanUnloadNow()});
}

TEST_F(NodeIdentityTest, NodeOfAnEarlierLoadKeepsItsContent) {
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), kDocument, &loaded)});
    ql::ComPtr<IXMLDOMNode> oldRoot = SelectSingle(document.Get(), L"r");
    ASSERT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), L"<other/>", &loaded)});
    EXPECT_EQ(L"<r a=\"1\"><c>x</c><c>y</c></r>", XmlOf(oldRoot.Get()));
    ql::ComPtr<IXMLDOMNode> parent;
    EXPECT_EQ(Hr{S_FALSE}, Hr{oldRoot->get_parentNode(parent.Put())});
    ql::ComPtr<IXMLDOMNode> newRoot = SelectSingle(document.Get(), L"other");
    EXPECT_NE(IdentityOf(oldRoot.Get()), IdentityOf(newRoot.Get()));
}

}  // namespace
}  // namespace msxmltest
