// selectSingleNode / selectNodes through COM in MSXML 3's default selection language, and XPath with
// SelectionNamespaces. (Every expression the system uses is run on the samples by the core's native tests.)
#include "MsxmlTestSupport.h"
#include "classlib/Utf8.h"

namespace msxmltest {
namespace {

const wchar_t kTranslation[] =
    L"<?xml version=\"1.0\"?>\r\n<localization>\r\n  <ToolkitMessages>\r\n"
    L"    <Message id=\"1000\"><locale lcid=\"1033\">First</locale></Message>\r\n"
    L"    <Message id=\"1001\"><locale lcid=\"1031\">Zweite</locale><locale lcid=\"1033\">Second</locale>"
    L"</Message>\r\n  </ToolkitMessages>\r\n</localization>\r\n";

const std::vector<std::wstring> kParameterSchemas = {L"DTMParameterSchema.xml", L"FDTDataTypesSchema.xml",
                                                     L"DTMInformationSchema.xml",
                                                     L"FDTApplicationIdSchema.xml"};

class SelectionTest : public MsxmlTest {
protected:
    // The sample document, loaded validated against the schemas it names, as the system loads it.
    ql::ComPtr<IXMLDOMDocument2> LoadSample(const char* path, const std::vector<std::wstring>& schemas) {
        ql::ComPtr<IXMLDOMSchemaCollection> cache = SchemaCacheWith(schemas);
        if (!cache) return nullptr;
        ql::ComPtr<IXMLDOMDocument2> document = DocumentWith(cache.Get());
        VARIANT_BOOL loaded = VARIANT_FALSE;
        EXPECT_HR(S_OK, LoadXml(document.Get(), ReadUtf8File(SampleDocumentPath(path)), &loaded));
        return document;
    }
};

TEST_F(SelectionTest, SelectSingleNodeAnswersTheFirstMatchOrSFalseAndNull) {
    ql::ComPtr<IXMLDOMDocument2> document = Loaded(kTranslation);
    ASSERT_TRUE(document);
    const struct {
        const wchar_t* expression;
        const wchar_t* text;  // null: nothing selected
    } cases[] = {
        {L"localization/ToolkitMessages/Message[@id=\"1001\"]/locale[@lcid = \"1033\"]", L"Second"},
        {L"localization/ToolkitMessages/Message[@id=\"1001\"]", L"ZweiteSecond"},
        {L"localization/ToolkitMessages/Message[@id=\"1002\"]", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ql::Utf8FromWide(c.expression));
        HRESULT hr = E_FAIL;
        ql::ComPtr<IXMLDOMNode> node = SelectSingle(document.Get(), c.expression, &hr);
        EXPECT_HR(c.text ? S_OK : S_FALSE, hr);
        EXPECT_EQ(c.text != nullptr, node.Get() != nullptr);
        if (node && c.text) {
            EXPECT_EQ(c.text, TextOf(node.Get()));
        }
    }
    // A relative path starts at the context node.
    ql::ComPtr<IXMLDOMNode> messages = SelectSingle(document.Get(), L"localization/ToolkitMessages");
    ASSERT_TRUE(messages);
    ql::ComPtr<IXMLDOMNode> locale = SelectSingle(messages.Get(), L"Message[@id=\"1000\"]/locale");
    ASSERT_TRUE(locale);
    EXPECT_EQ(L"First", TextOf(locale.Get()));
}

TEST_F(SelectionTest, SelectNodesListsEveryMatchInDocumentOrder) {
    ql::ComPtr<IXMLDOMDocument2> document = Loaded(kTranslation);
    ASSERT_TRUE(document);
    ql::ComPtr<IXMLDOMNodeList> list;
    ASSERT_HR(S_OK, document->selectNodes(ql::Bstr(L"//locale/@lcid").Get(), list.Put()));
    LONG length = 0;
    ASSERT_HR(S_OK, list->get_length(&length));
    ASSERT_EQ(3, length);
    std::vector<std::wstring> values;
    for (ql::ComPtr<IXMLDOMNode> node; list->nextNode(node.Put()) == S_OK;)
        values.push_back(TextOf(node.Get()));
    EXPECT_EQ((std::vector<std::wstring>{L"1033", L"1031", L"1033"}), values);
    ql::ComPtr<IXMLDOMNode> past;
    EXPECT_HR(S_FALSE, list->get_item(3, past.Put()));
    ASSERT_HR(S_OK, document->selectNodes(ql::Bstr(L"//absent").Get(), list.Put()));
    EXPECT_HR(S_OK, list->get_length(&length));
    EXPECT_EQ(0, length);
}

TEST_F(SelectionTest, XPathWithSelectionNamespaces) {
    ql::ComPtr<IXMLDOMDocument2> document = LoadSample("valid/parameters.xml", kParameterSchemas);
    ASSERT_TRUE(document);
    // MSXML 3's own language resolves a prefix through the document's declarations.
    ql::ComPtr<IXMLDOMNode> tag = SelectSingle(document.Get(), L"FDT/DtmDevice/@fdt:tag");
    ASSERT_TRUE(tag);
    EXPECT_EQ(L"PT-101", TextOf(tag.Get()));

    const ql::Bstr namespaces(L"SelectionNamespaces");
    const ql::Variant bindings =
        MakeBstr(L"xmlns:p='x-schema:DTMParameterSchema.xml' xmlns:t=\"x-schema:FDTDataTypesSchema.xml\"");
    ASSERT_HR(S_OK, document->setProperty(ql::Bstr(L"SelectionLanguage").Get(), *MakeBstr(L"XPath")));
    ASSERT_HR(S_OK, document->setProperty(namespaces.Get(), *bindings));
    tag = SelectSingle(document.Get(), L"/p:FDT/p:DtmDevice/@t:tag");
    ASSERT_TRUE(tag);
    EXPECT_EQ(L"PT-101", TextOf(tag.Get()));
    // XPath 1.0: an unprefixed name is in no namespace, so it does not match the default-namespace root.
    HRESULT hr = E_FAIL;
    EXPECT_FALSE(SelectSingle(document.Get(), L"/FDT", &hr));
    EXPECT_HR(S_FALSE, hr);
    ql::Variant read;
    EXPECT_HR(S_OK, document->getProperty(namespaces.Get(), read.Put()));
    EXPECT_EQ(Describe(*bindings), Describe(*read));
}

TEST_F(SelectionTest, RefusedExpressionsAndProperties) {
    ql::ComPtr<IXMLDOMDocument2> document = Loaded(kTranslation);
    ASSERT_TRUE(document);
    HRESULT hr = S_OK;
    // A group name holding a double quote breaks the literal of the system's group selection.
    EXPECT_FALSE(SelectSingle(document.Get(), L"fdt:DtmVariables[@name = \"a\"b\"]", &hr));
    EXPECT_HR(E_FAIL, hr);
    EXPECT_HR(E_FAIL, document->setProperty(ql::Bstr(L"NoSuchProperty").Get(), *MakeBstr(L"x")));
    EXPECT_HR(E_FAIL, document->setProperty(ql::Bstr(L"SelectionLanguage").Get(), *MakeBstr(L"Prolog")));
}

}  // namespace
}  // namespace msxmltest
