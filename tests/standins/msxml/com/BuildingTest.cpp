// Building and editing documents through the DOM, as the system builds its parameter and information
// documents, and the text the document writes for them.
#include "MsxmlTestSupport.h"

namespace msxmltest {
namespace {

class BuildingTest : public MsxmlTest {
protected:
    void SetUp() override {
        MsxmlTest::SetUp();
        document_ = NewDocument();
        ASSERT_TRUE(document_);
    }
    ql::ComPtr<IXMLDOMNode> CreateNode(DOMNodeType type, const wchar_t* name, const wchar_t* uri) {
        ql::ComPtr<IXMLDOMNode> node;
        EXPECT_HR(S_OK, document_->createNode(*MakeI4(type), ql::Bstr(name).Get(), ql::Bstr(uri).Get(),
                                              node.Put()));
        return node;
    }
    ql::ComPtr<IXMLDOMNode> Append(IXMLDOMNode* parent, IXMLDOMNode* child) {
        ql::ComPtr<IXMLDOMNode> appended;
        EXPECT_HR(S_OK, parent->appendChild(child, appended.Put()));
        return appended;
    }
    static void SetAttribute(IXMLDOMNode* node, const wchar_t* name, const wchar_t* value) {
        ql::ComPtr<IXMLDOMElement> element;
        ASSERT_HR(S_OK, node->QueryInterface(IID_IXMLDOMElement, element.PutVoid()));
        EXPECT_HR(S_OK, element->setAttribute(ql::Bstr(name).Get(), *MakeBstr(value)));
    }
    ql::ComPtr<IXMLDOMNode> LoadAndSelect(const wchar_t* text, const wchar_t* expression) {
        VARIANT_BOOL loaded = VARIANT_FALSE;
        EXPECT_HR(S_OK, LoadXml(document_.Get(), text, &loaded));
        return SelectSingle(document_.Get(), expression);
    }

    ql::ComPtr<IXMLDOMDocument2> document_;
};

TEST_F(BuildingTest, BuiltDocumentIsWrittenInMsxmlForm) {
    ql::ComPtr<IXMLDOMProcessingInstruction> declaration;
    ASSERT_HR(S_OK, document_->createProcessingInstruction(
                        ql::Bstr(L"xml").Get(), ql::Bstr(L"version=\"1.0\"").Get(), declaration.Put()));
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
    ql::ComPtr<IXMLDOMText> textNode;
    ASSERT_HR(S_OK, document_->createTextNode(ql::Bstr(L"x < y").Get(), textNode.Put()));
    Append(variables.Get(), textNode.Get());
    ql::ComPtr<IXMLDOMNode> first =
        CreateNode(NODE_ELEMENT, L"fdt:First", L"x-schema:FDTDataTypesSchema.xml");
    ql::Variant before;
    before.SetUnknown(textNode.Get());
    ql::ComPtr<IXMLDOMNode> inserted;
    EXPECT_HR(S_OK, variables->insertBefore(first.Get(), *before.Get(), inserted.Put()));
    EXPECT_EQ(IdentityOf(first.Get()), IdentityOf(inserted.Get()));
    EXPECT_EQ(
        L"<?xml version=\"1.0\"?>\r\n"
        L"<FDT xmlns=\"x-schema:DTMParameterSchema.xml\" xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
        L"<fdt:DtmVariables name=\"A &amp; &lt;B> &quot;C&quot;\"><fdt:First/>x &lt; y</fdt:DtmVariables>"
        L"</FDT>\r\n",
        XmlOf(document_.Get()));

    ql::ComPtr<IXMLDOMNode> removed, parent;
    EXPECT_HR(S_OK, variables->removeChild(first.Get(), removed.Put()));
    EXPECT_EQ(IdentityOf(first.Get()), IdentityOf(removed.Get()));
    EXPECT_EQ(L"x < y", TextOf(variables.Get()));
    EXPECT_HR(S_FALSE, first->get_parentNode(parent.Put()));
}

// A value fragment is parsed in a scratch document and its element moved into the frame's document.
TEST_F(BuildingTest, NodeOfAnotherDocumentIsMovedByAppendChild) {
    ql::ComPtr<IXMLDOMNode> parent =
        LoadAndSelect(L"<FDT><fdt:Value xmlns:fdt=\"urn:t\" readAccess=\"1\"/></FDT>", L"FDT/fdt:Value");
    ASSERT_TRUE(parent);
    ql::ComPtr<IXMLDOMDocument2> scratch = NewDocument();
    ASSERT_HR(S_OK, scratch->put_resolveExternals(VARIANT_FALSE));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_HR(S_OK,
              LoadXml(scratch.Get(),
                      L"<fdt:Variant xmlns:fdt=\"urn:t\" dataType=\"byte\"> <fdt:NumberData number=\"7\" "
                      L"/></fdt:Variant>",
                      &loaded));
    ql::ComPtr<IXMLDOMNode> fragment, detached, appended, numberParent;
    ASSERT_HR(S_OK, scratch->get_firstChild(fragment.Put()));
    ql::ComPtr<IXMLDOMNode> number = SelectSingle(fragment.Get(), L"fdt:NumberData");
    ASSERT_TRUE(number);
    ASSERT_HR(S_OK, scratch->removeChild(fragment.Get(), detached.Put()));
    ASSERT_HR(S_OK, parent->appendChild(fragment.Get(), appended.Put()));
    scratch.Reset();

    // The caller's node objects follow the node into its new document.
    EXPECT_EQ(IdentityOf(fragment.Get()), IdentityOf(appended.Get()));
    ASSERT_HR(S_OK, number->get_parentNode(numberParent.Put()));
    EXPECT_EQ(IdentityOf(fragment.Get()), IdentityOf(numberParent.Get()));
    ql::ComPtr<IXMLDOMDocument> owner;
    ASSERT_HR(S_OK, appended->get_ownerDocument(owner.Put()));
    EXPECT_EQ(IdentityOf(document_.Get()), IdentityOf(owner.Get()));
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
    const ql::Bstr name(L"name");
    ql::ComPtr<IXMLDOMAttribute> attribute;
    ASSERT_HR(S_OK, document_->createAttribute(name.Get(), attribute.Put()));
    ASSERT_HR(S_OK, attribute->put_nodeValue(*MakeBstr(L"P1")));
    ql::ComPtr<IXMLDOMNamedNodeMap> attributes;
    ASSERT_HR(S_OK, element->get_attributes(attributes.Put()));
    ql::ComPtr<IXMLDOMNode> set, named;
    EXPECT_HR(S_OK, attributes->setNamedItem(attribute.Get(), set.Put()));
    ql::ComPtr<IXMLDOMElement> asElement;
    ASSERT_HR(S_OK, element->QueryInterface(IID_IXMLDOMElement, asElement.PutVoid()));
    ql::Variant read;
    EXPECT_HR(S_OK, asElement->getAttribute(name.Get(), read.Put()));
    EXPECT_EQ("bstr:'P1'", Describe(*read));
    LONG length = 0;
    EXPECT_HR(S_OK, attributes->get_length(&length));
    EXPECT_EQ(1, length);
    EXPECT_HR(S_OK, attributes->getNamedItem(name.Get(), named.Put()));
    EXPECT_EQ(IdentityOf(attribute.Get()), IdentityOf(named.Get()));
    EXPECT_HR(S_FALSE, asElement->getAttribute(ql::Bstr(L"absent").Get(), read.Put()));
    EXPECT_EQ(VT_NULL, read.Type());
}

TEST_F(BuildingTest, RefusedEdits) {
    ql::ComPtr<IXMLDOMNode> a = LoadAndSelect(L"<r><a/><b/></r>", L"r/a"),
                            b = SelectSingle(document_.Get(), L"r/b");
    ASSERT_TRUE(a && b);
    ql::ComPtr<IXMLDOMNode> out, c = CreateNode(NODE_ELEMENT, L"c", L"");
    EXPECT_HR(E_INVALIDARG, a->removeChild(b.Get(), out.Put()));  // not a child
    ql::Variant reference;
    reference.SetUnknown(b.Get());
    EXPECT_HR(E_INVALIDARG, a->insertBefore(c.Get(), *reference.Get(), out.Put()));
    EXPECT_HR(E_FAIL, document_->appendChild(c.Get(), out.Put()));  // a second document element
    EXPECT_HR(E_FAIL, a->appendChild(SelectSingle(document_.Get(), L"r").Get(), out.Put()));  // an ancestor
    ql::ComPtr<IXMLDOMElement> element;
    EXPECT_HR(E_FAIL, document_->createElement(ql::Bstr(L"1x").Get(), element.Put()));
    EXPECT_EQ(L"<r><a/><b/></r>\r\n", XmlOf(document_.Get()));
}

TEST_F(BuildingTest, TextNodeValueAndTheLiveChildList) {
    ql::ComPtr<IXMLDOMNode> root = LoadAndSelect(L"<r>  one <b>two</b> </r>", L"r");
    ASSERT_TRUE(root);
    EXPECT_EQ(L"one two", TextOf(root.Get()));
    ql::Variant value;
    EXPECT_HR(S_FALSE, root->get_nodeValue(value.Put()));
    EXPECT_EQ(VT_NULL, value.Type());
    ql::ComPtr<IXMLDOMNode> text;
    ASSERT_HR(S_OK, root->get_firstChild(text.Put()));
    EXPECT_HR(S_OK, text->put_nodeValue(*MakeBstr(L"1 & 2")));
    EXPECT_HR(S_OK, SelectSingle(root.Get(), L"b")->put_text(ql::Bstr(L"only").Get()));
    EXPECT_EQ(L"<r>1 &amp; 2<b>only</b></r>\r\n", XmlOf(document_.Get()));
    EXPECT_HR(E_FAIL, root->put_nodeValue(*MakeBstr(L"x")));

    ql::ComPtr<IXMLDOMNodeList> children;
    ASSERT_HR(S_OK, root->get_childNodes(children.Put()));
    Append(root.Get(), CreateNode(NODE_COMMENT, L"", L"").Get());
    LONG length = 0;
    EXPECT_HR(S_OK, children->get_length(&length));
    EXPECT_EQ(3, length) << "the list sees the appended comment";
    ql::ComPtr<IXMLDOMNode> last;
    ASSERT_HR(S_OK, children->get_item(2, last.Put()));
    DOMNodeType type = NODE_INVALID;
    EXPECT_HR(S_OK, last->get_nodeType(&type));
    EXPECT_EQ(NODE_COMMENT, type);
}

}  // namespace
}  // namespace msxmltest
