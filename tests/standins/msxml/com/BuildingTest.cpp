// Building and editing documents through the DOM, as the system builds its parameter and information
// documents, and the text the document writes for them.
#include "MsxmlTestSupport.h"
#include "classlib/Utf8.h"

namespace msxmltest {
namespace {

class BuildingTest : public MsxmlTest {
protected:
    void SetUp() override {
        MsxmlTest::SetUp();
        document_ = NewDocument();
        ASSERT_TRUE(document_);
    }
    void TearDown() override {
        document_.Reset();
        MsxmlTest::TearDown();
    }

    ql::ComPtr<IXMLDOMNode> CreateNode(DOMNodeType type, const wchar_t* name, const wchar_t* uri) {
        ql::Variant kind;
        kind.SetI4(type);
        ql::Bstr qualified(name);
        ql::Bstr namespaceUri(uri);
        ql::ComPtr<IXMLDOMNode> node;
        EXPECT_EQ(Hr{S_OK},
                  Hr{document_->createNode(*kind.Get(), qualified.Get(), namespaceUri.Get(), node.Put())});
        return node;
    }
    ql::ComPtr<IXMLDOMNode> Append(IXMLDOMNode* parent, IXMLDOMNode* child) {
        ql::ComPtr<IXMLDOMNode> appended;
        EXPECT_EQ(Hr{S_OK}, Hr{parent->appendChild(child, appended.Put())});
        return appended;
    }
    static void SetAttribute(IXMLDOMNode* node, const wchar_t* name, const wchar_t* value) {
        ql::ComPtr<IXMLDOMElement> element;
        ASSERT_EQ(S_OK, node->QueryInterface(IID_IXMLDOMElement, element.PutVoid()));
        ql::Bstr attributeName(name);
        ql::Variant text;
        ASSERT_EQ(S_OK, text.SetBstr(value));
        EXPECT_EQ(Hr{S_OK}, Hr{element->setAttribute(attributeName.Get(), *text.Get())});
    }

    ql::ComPtr<IXMLDOMDocument2> document_;
};

TEST_F(BuildingTest, BuiltDocumentIsWrittenInMsxmlForm) {
    ql::Bstr target(L"xml");
    ql::Bstr data(L"version=\"1.0\"");
    ql::ComPtr<IXMLDOMProcessingInstruction> declaration;
    ASSERT_EQ(S_OK, document_->createProcessingInstruction(target.Get(), data.Get(), declaration.Put()));
    Append(document_.Get(), declaration.Get());

    ql::ComPtr<IXMLDOMNode> root = CreateNode(NODE_ELEMENT, L"FDT", L"x-schema:DTMParameterSchema.xml");
    ASSERT_TRUE(root);
    Append(document_.Get(), root.Get());
    SetAttribute(root.Get(), L"xmlns", L"x-schema:DTMParameterSchema.xml");
    SetAttribute(root.Get(), L"xmlns:fdt", L"x-schema:FDTDataTypesSchema.xml");
    ql::ComPtr<IXMLDOMNode> variables =
        CreateNode(NODE_ELEMENT, L"fdt:DtmVariables", L"x-schema:FDTDataTypesSchema.xml");
    Append(root.Get(), variables.Get());
    SetAttribute(variables.Get(), L"name", L"A & <B> \"C\"");

    ql::Bstr text(L"x < y");
    ql::ComPtr<IXMLDOMText> textNode;
    ASSERT_EQ(S_OK, document_->createTextNode(text.Get(), textNode.Put()));
    Append(variables.Get(), textNode.Get());
    ql::ComPtr<IXMLDOMNode> first =
        CreateNode(NODE_ELEMENT, L"fdt:First", L"x-schema:FDTDataTypesSchema.xml");
    ql::Variant before;
    before.SetUnknown(textNode.Get());
    ql::ComPtr<IXMLDOMNode> inserted;
    EXPECT_EQ(Hr{S_OK}, Hr{variables->insertBefore(first.Get(), *before.Get(), inserted.Put())});
    EXPECT_EQ(IdentityOf(first.Get()).Get(), IdentityOf(inserted.Get()).Get());

    EXPECT_EQ(
        L"<?xml version=\"1.0\"?>\r\n"
        L"<FDT xmlns=\"x-schema:DTMParameterSchema.xml\" xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
        L"<fdt:DtmVariables name=\"A &amp; &lt;B> &quot;C&quot;\"><fdt:First/>x &lt; y</fdt:DtmVariables>"
        L"</FDT>\r\n",
        XmlOf(document_.Get()));

    ql::ComPtr<IXMLDOMNode> removed;
    EXPECT_EQ(Hr{S_OK}, Hr{variables->removeChild(first.Get(), removed.Put())});
    EXPECT_EQ(IdentityOf(first.Get()).Get(), IdentityOf(removed.Get()).Get());
    EXPECT_EQ(L"x < y", TextOf(variables.Get()));
    ql::ComPtr<IXMLDOMNode> parent;
    EXPECT_EQ(Hr{S_FALSE}, Hr{first->get_parentNode(parent.Put())});
}

// The system escapes an attribute value by writing it into a scratch attribute and reading its xml.
TEST_F(BuildingTest, AttributeXmlEscapesItsValue) {
    ql::Bstr name(L"test");
    ql::ComPtr<IXMLDOMAttribute> attribute;
    ASSERT_EQ(S_OK, document_->createAttribute(name.Get(), attribute.Put()));
    ql::Variant value;
    ASSERT_EQ(S_OK, value.SetBstr(L"a&b<c\"d"));
    ASSERT_EQ(Hr{S_OK}, Hr{attribute->put_value(*value.Get())});
    EXPECT_EQ(L"test=\"a&amp;b&lt;c&quot;d\"", XmlOf(attribute.Get()));
    ql::Variant read;
    ASSERT_EQ(S_OK, attribute->get_value(read.Put()));
    EXPECT_EQ(L"a&b<c\"d", StringOf(V_BSTR(read.Get())));
}

// A value fragment is parsed in a scratch document and its element moved into the frame's document.
TEST_F(BuildingTest, NodeOfAnotherDocumentIsMovedByAppendChild) {
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(Hr{S_OK},
              Hr{LoadXml(document_.Get(), L"<FDT><fdt:Value xmlns:fdt=\"urn:t\" readAccess=\"1\"/></FDT>",
                         &loaded)});
    ql::ComPtr<IXMLDOMNode> parent = SelectSingle(document_.Get(), L"FDT/fdt:Value");
    ASSERT_TRUE(parent);

    ql::ComPtr<IXMLDOMDocument2> scratch = NewDocument();
    ASSERT_EQ(S_OK, scratch->put_resolveExternals(VARIANT_FALSE));
    ASSERT_EQ(Hr{S_OK},
              Hr{LoadXml(scratch.Get(),
                         L"<fdt:Variant xmlns:fdt=\"urn:t\" dataType=\"byte\"> <fdt:NumberData number=\"7\" "
                         L"/></fdt:Variant>",
                         &loaded)});
    ql::ComPtr<IXMLDOMNode> fragment;
    ASSERT_EQ(S_OK, scratch->get_firstChild(fragment.Put()));
    ql::ComPtr<IXMLDOMNode> number = SelectSingle(fragment.Get(), L"fdt:NumberData");
    ASSERT_TRUE(number);
    ql::ComPtr<IXMLDOMNode> detached;
    ASSERT_EQ(Hr{S_OK}, Hr{scratch->removeChild(fragment.Get(), detached.Put())});
    ql::ComPtr<IXMLDOMNode> appended;
    ASSERT_EQ(Hr{S_OK}, Hr{parent->appendChild(fragment.Get(), appended.Put())});
    scratch.Reset();

    // The caller's node objects follow the node into its new document.
    EXPECT_EQ(IdentityOf(fragment.Get()).Get(), IdentityOf(appended.Get()).Get());
    ql::ComPtr<IXMLDOMNode> numberParent;
    ASSERT_EQ(S_OK, number->get_parentNode(numberParent.Put()));
    EXPECT_EQ(IdentityOf(fragment.Get()).Get(), IdentityOf(numberParent.Get()).Get());
    ql::ComPtr<IXMLDOMDocument> owner;
    ASSERT_EQ(S_OK, appended->get_ownerDocument(owner.Put()));
    EXPECT_EQ(IdentityOf(document_.Get()).Get(), IdentityOf(owner.Get()).Get());
    EXPECT_EQ(
        L"<FDT><fdt:Value xmlns:fdt=\"urn:t\" readAccess=\"1\"><fdt:Variant xmlns:fdt=\"urn:t\" "
        L"dataType=\"byte\"><fdt:NumberData number=\"7\"/></fdt:Variant></fdt:Value></FDT>\r\n",
        XmlOf(document_.Get()));
    ql::ComPtr<IXMLDOMNode> found =
        SelectSingle(document_.Get(), L"FDT/fdt:Value/fdt:Variant/fdt:NumberData/@number");
    ASSERT_TRUE(found);
    EXPECT_EQ(L"7", TextOf(found.Get()));
}

TEST_F(BuildingTest, AttributeMapTakesAnAttributeMadeByTheDocument) {
    ql::ComPtr<IXMLDOMNode> element = CreateNode(NODE_ELEMENT, L"fdt:DtmVariable", L"urn:t");
    Append(document_.Get(), element.Get());
    ql::Bstr name(L"name");
    ql::ComPtr<IXMLDOMAttribute> attribute;
    ASSERT_EQ(S_OK, document_->createAttribute(name.Get(), attribute.Put()));
    ql::Variant value;
    ASSERT_EQ(S_OK, value.SetBstr(L"P1"));
    ASSERT_EQ(S_OK, attribute->put_nodeValue(*value.Get()));
    ql::ComPtr<IXMLDOMNamedNodeMap> attributes;
    ASSERT_EQ(Hr{S_OK}, Hr{element->get_attributes(attributes.Put())});
    ql::ComPtr<IXMLDOMNode> set;
    EXPECT_EQ(Hr{S_OK}, Hr{attributes->setNamedItem(attribute.Get(), set.Put())});

    ql::ComPtr<IXMLDOMElement> asElement;
    ASSERT_EQ(S_OK, element->QueryInterface(IID_IXMLDOMElement, asElement.PutVoid()));
    ql::Variant read;
    EXPECT_EQ(Hr{S_OK}, Hr{asElement->getAttribute(name.Get(), read.Put())});
    EXPECT_EQ(L"P1", StringOf(V_BSTR(read.Get())));
    LONG length = 0;
    EXPECT_EQ(S_OK, attributes->get_length(&length));
    EXPECT_EQ(1, length);
    ql::ComPtr<IXMLDOMNode> named;
    EXPECT_EQ(Hr{S_OK}, Hr{attributes->getNamedItem(name.Get(), named.Put())});
    EXPECT_EQ(IdentityOf(attribute.Get()).Get(), IdentityOf(named.Get()).Get());

    ql::Bstr absent(L"absent");
    EXPECT_EQ(Hr{S_FALSE}, Hr{asElement->getAttribute(absent.Get(), read.Put())});
    EXPECT_EQ(VT_NULL, read.Type());
}

TEST_F(BuildingTest, RefusedEdits) {
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(Hr{S_OK}, Hr{LoadXml(document_.Get(), L"<r><a/><b/></r>", &loaded)});
    ql::ComPtr<IXMLDOMNode> a = SelectSingle(document_.Get(), L"r/a");
    ql::ComPtr<IXMLDOMNode> b = SelectSingle(document_.Get(), L"r/b");
    ASSERT_TRUE(a && b);
    ql::ComPtr<IXMLDOMNode> out;
    EXPECT_EQ(Hr{E_INVALIDARG}, Hr{a->removeChild(b.Get(), out.Put())});  // not a child
    ql::Variant reference;
    reference.SetUnknown(b.Get());
    ql::ComPtr<IXMLDOMNode> c = CreateNode(NODE_ELEMENT, L"c", L"");
    EXPECT_EQ(Hr{E_INVALIDARG}, Hr{a->insertBefore(c.Get(), *reference.Get(), out.Put())});
    EXPECT_EQ(Hr{E_FAIL}, Hr{document_->appendChild(c.Get(), out.Put())});  // a second document element
    ql::ComPtr<IXMLDOMNode> root = SelectSingle(document_.Get(), L"r");
    EXPECT_EQ(Hr{E_FAIL}, Hr{a->appendChild(root.Get(), out.Put())});  // an ancestor
    ql::Bstr badName(L"1x");
    ql::ComPtr<IXMLDOMElement> element;
    EXPECT_EQ(Hr{E_FAIL}, Hr{document_->createElement(badName.Get(), element.Put())});
    EXPECT_EQ(L"<r><a/><b/></r>\r\n", XmlOf(document_.Get()));
}

TEST_F(BuildingTest, TextAndNodeValue) {
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(Hr{S_OK}, Hr{LoadXml(document_.Get(), L"<r>  one <b>two</b> </r>", &loaded)});
    ql::ComPtr<IXMLDOMNode> root = SelectSingle(document_.Get(), L"r");
    ASSERT_TRUE(root);
    EXPECT_EQ(L"one two", TextOf(root.Get()));
    ql::Variant value;
    EXPECT_EQ(Hr{S_FALSE}, Hr{root->get_nodeValue(value.Put())});
    EXPECT_EQ(VT_NULL, value.Type());

    ql::ComPtr<IXMLDOMNode> text;
    ASSERT_EQ(S_OK, root->get_firstChild(text.Put()));
    ql::Variant replacement;
    ASSERT_EQ(S_OK, replacement.SetBstr(L"1 & 2"));
    EXPECT_EQ(Hr{S_OK}, Hr{text->put_nodeValue(*replacement.Get())});
    ql::Bstr newText(L"only");
    ql::ComPtr<IXMLDOMNode> b = SelectSingle(root.Get(), L"b");
    EXPECT_EQ(Hr{S_OK}, Hr{b->put_text(newText.Get())});
    EXPECT_EQ(L"<r>1 &amp; 2<b>only</b></r>\r\n", XmlOf(document_.Get()));
    EXPECT_EQ(Hr{E_FAIL}, Hr{root->put_nodeValue(*replacement.Get())});
}

TEST_F(BuildingTest, ChildNodesIsLive) {
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(Hr{S_OK}, Hr{LoadXml(document_.Get(), L"<r><a/></r>", &loaded)});
    ql::ComPtr<IXMLDOMNode> root = SelectSingle(document_.Get(), L"r");
    ql::ComPtr<IXMLDOMNodeList> children;
    ASSERT_EQ(S_OK, root->get_childNodes(children.Put()));
    LONG length = 0;
    EXPECT_EQ(S_OK, children->get_length(&length));
    EXPECT_EQ(1, length);
    Append(root.Get(), CreateNode(NODE_COMMENT, L"", L"").Get());
    EXPECT_EQ(S_OK, children->get_length(&length));
    EXPECT_EQ(2, length);
    ql::ComPtr<IXMLDOMNode> second;
    ASSERT_EQ(S_OK, children->get_item(1, second.Put()));
    DOMNodeType type = NODE_INVALID;
    EXPECT_EQ(S_OK, second->get_nodeType(&type));
    EXPECT_EQ(NODE_COMMENT, type);
}

}  // namespace
}  // namespace msxmltest
