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

}  // namespace
}  // namespace msxmltest
