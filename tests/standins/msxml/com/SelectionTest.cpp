// selectSingleNode / selectNodes with the expressions the system uses, in MSXML 3's default selection
// language, and XPath with SelectionNamespaces.
#include "MsxmlTestSupport.h"
#include "classlib/Utf8.h"

namespace msxmltest {
namespace {

class SelectionTest : public MsxmlTest {
protected:
    // The sample document, loaded validated against the schemas it names, as the system loads it.
    ql::ComPtr<IXMLDOMDocument2> LoadSample(const char* path, const std::vector<std::wstring>& schemas) {
        ql::ComPtr<IXMLDOMSchemaCollection> cache = SchemaCacheWith(schemas);
        if (!cache) return nullptr;
        ql::ComPtr<IXMLDOMDocument2> document = DocumentWith(cache.Get());
        VARIANT_BOOL loaded = VARIANT_FALSE;
        EXPECT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), ReadUtf8File(SampleDocumentPath(path)), &loaded)});
        return document;
    }
};

const wchar_t kTranslation[] =
    L"<?xml version=\"1.0\"?>\r\n"
    L"<localization>\r\n"
    L"  <ToolkitMessages>\r\n"
    L"    <Message id=\"1000\"><locale lcid=\"1033\">First</locale></Message>\r\n"
    L"    <Message id=\"1001\"><locale lcid=\"1031\">Zweite</locale><locale "
    L"lcid=\"1033\">Second</locale></Message>\r\n"
    L"  </ToolkitMessages>\r\n"
    L"</localization>\r\n";

struct SelectionCase {
    const char* name;
    const char* sample;  // below tests/data/xml; null: the translation text above
    std::vector<std::wstring> schemas;
    const wchar_t* expression;
    const wchar_t* nodeName;  // null: nothing selected
    const wchar_t* text;
};

const std::vector<std::wstring> kDpv1Schemas = {L"FDTProfibusDPV1CommunicationSchema.xml",
                                                L"FDTDataTypesSchema.xml"};
const std::vector<std::wstring> kFunctionCallSchemas = {
    L"DTMFunctionCallSchema.xml", L"DTMFunctionsSchema.xml", L"FDTApplicationIdSchema.xml",
    L"FDTOperationPhaseSchema.xml", L"FDTDataTypesSchema.xml"};
const std::vector<std::wstring> kUserMessageSchemas = {L"FDTUserMessageSchema.xml",
                                                       L"FDTDataTypesSchema.xml"};
const std::vector<std::wstring> kParameterSchemas = {L"DTMParameterSchema.xml", L"FDTDataTypesSchema.xml",
                                                     L"DTMInformationSchema.xml",
                                                     L"FDTApplicationIdSchema.xml"};

const SelectionCase kSelections[] = {
    {"communication error below the root", "valid/dpv1-communication-error.xml", kDpv1Schemas,
     L"FDT/fdt:CommunicationError", L"fdt:CommunicationError", L""},
    {"no communication error in a response", "valid/dpv1-read-response.xml", kDpv1Schemas,
     L"FDT/fdt:CommunicationError", nullptr, nullptr},
    {"response data attribute", "valid/dpv1-read-response.xml", kDpv1Schemas,
     L"FDT/ReadResponse/fdt:CommunicationData/@byteArray", L"byteArray", L"42C8000080"},
    {"function id under any root", "valid/function-call.xml", kFunctionCallSchemas,
     L"*/FDTFunctionCall/@func:functionId", L"func:functionId", L"2"},
    {"function id under FDT", "valid/function-call.xml", kFunctionCallSchemas,
     L"FDT/FDTFunctionCall/@func:functionId", L"func:functionId", L"2"},
    {"function id under a root without namespace",
     "valid/function-call-other-root.xml",
     {L"DTMFunctionCallSchema.xml", L"DTMFunctionsSchema.xml"},
     L"*/FDTFunctionCall/@func:functionId",
     L"func:functionId",
     nullptr},
    {"result message anywhere", "valid/user-message-answer.xml", kUserMessageSchemas, L".//@resultMessage",
     L"resultMessage", L"buttonCancel"},
    {"no result message in a question", "valid/user-message.xml", kUserMessageSchemas, L".//@resultMessage",
     nullptr, nullptr},
    {"bus address", "valid/parameters.xml", kParameterSchemas,
     L"FDT/DtmDevice/BusInformation/MasterSlaveBus/@busAddress", L"busAddress", L"126"},
    {"tag", "valid/parameters.xml", kParameterSchemas, L"FDT/DtmDevice/@fdt:tag", L"fdt:tag", L"PT-101"},
    {"message by id",
     nullptr,
     {},
     L"localization/ToolkitMessages/Message[@id=\"1001\"]",
     L"Message",
     L"ZweiteSecond"},
    {"locale of a message",
     nullptr,
     {},
     L"localization/ToolkitMessages/Message[@id=\"1001\"]/locale[@lcid = \"1033\"]",
     L"locale",
     L"Second"},
    {"unknown message id",
     nullptr,
     {},
     L"localization/ToolkitMessages/Message[@id=\"1002\"]",
     nullptr,
     nullptr},
};

TEST_F(SelectionTest, ExpressionsOfTheSystemSelectTheirNodes) {
    for (const SelectionCase& c : kSelections) {
        SCOPED_TRACE(c.name);
        ql::ComPtr<IXMLDOMDocument2> document;
        if (c.sample) {
            document = LoadSample(c.sample, c.schemas);
        } else {
            document = NewDocument();
            VARIANT_BOOL loaded = VARIANT_FALSE;
            EXPECT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), kTranslation, &loaded)});
        }
        ASSERT_TRUE(document);
        HRESULT hr = E_FAIL;
        ql::ComPtr<IXMLDOMNode> node = SelectSingle(document.Get(), c.expression, &hr);
        if (!c.nodeName) {
            EXPECT_EQ(Hr{S_FALSE}, Hr{hr});
            EXPECT_FALSE(node);
            continue;
        }
        EXPECT_EQ(Hr{S_OK}, Hr{hr});
        ASSERT_TRUE(node);
        EXPECT_EQ(c.nodeName, NameOf(node.Get()));
        if (c.text) {
            EXPECT_EQ(c.text, TextOf(node.Get()));
        }
    }
}

TEST_F(SelectionTest, RelativePathStartsAtTheContextNode) {
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), kTranslation, &loaded)});
    ql::ComPtr<IXMLDOMNode> messages = SelectSingle(document.Get(), L"localization/ToolkitMessages");
    ASSERT_TRUE(messages);
    ql::ComPtr<IXMLDOMNode> message = SelectSingle(messages.Get(), L"Message[@id=\"1000\"]/locale");
    ASSERT_TRUE(message);
    EXPECT_EQ(L"First", TextOf(message.Get()));
}

TEST_F(SelectionTest, SelectNodesListsEveryMatchInDocumentOrder) {
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), kTranslation, &loaded)});
    ql::Bstr query(L"//locale/@lcid");
    ql::ComPtr<IXMLDOMNodeList> list;
    ASSERT_EQ(Hr{S_OK}, Hr{document->selectNodes(query.Get(), list.Put())});
    LONG length = 0;
    ASSERT_EQ(S_OK, list->get_length(&length));
    ASSERT_EQ(3, length);
    std::vector<std::wstring> values;
    for (ql::ComPtr<IXMLDOMNode> node; list->nextNode(node.Put()) == S_OK;)
        values.push_back(TextOf(node.Get()));
    EXPECT_EQ((std::vector<std::wstring>{L"1033", L"1031", L"1033"}), values);
    ql::ComPtr<IXMLDOMNode> past;
    EXPECT_EQ(Hr{S_FALSE}, Hr{list->get_item(3, past.Put())});

    ql::Bstr nothing(L"//absent");
    ASSERT_EQ(Hr{S_OK}, Hr{document->selectNodes(nothing.Get(), list.Put())});
    EXPECT_EQ(S_OK, list->get_length(&length));
    EXPECT_EQ(0, length);
}

TEST_F(SelectionTest, XPathWithSelectionNamespaces) {
    ql::ComPtr<IXMLDOMDocument2> document = LoadSample("valid/parameters.xml", kParameterSchemas);
    ASSERT_TRUE(document);
    ql::Bstr language(L"SelectionLanguage");
    ql::Bstr namespaces(L"SelectionNamespaces");
    ql::Variant xpath, bindings;
    ASSERT_EQ(S_OK, xpath.SetBstr(L"XPath"));
    ASSERT_EQ(S_OK, bindings.SetBstr(L"xmlns:p='x-schema:DTMParameterSchema.xml' "
                                     L"xmlns:t=\"x-schema:FDTDataTypesSchema.xml\""));
    ASSERT_EQ(Hr{S_OK}, Hr{document->setProperty(language.Get(), *xpath.Get())});
    ASSERT_EQ(Hr{S_OK}, Hr{document->setProperty(namespaces.Get(), *bindings.Get())});

    ql::ComPtr<IXMLDOMNode> tag = SelectSingle(document.Get(), L"/p:FDT/p:DtmDevice/@t:tag");
    ASSERT_TRUE(tag);
    EXPECT_EQ(L"PT-101", TextOf(tag.Get()));
    // XPath 1.0: an unprefixed name is in no namespace, so it does not match the default-namespace root.
    HRESULT hr = E_FAIL;
    EXPECT_FALSE(SelectSingle(document.Get(), L"/FDT", &hr));
    EXPECT_EQ(Hr{S_FALSE}, Hr{hr});

    ql::Variant read;
    EXPECT_EQ(S_OK, document->getProperty(namespaces.Get(), read.Put()));
    EXPECT_EQ(StringOf(V_BSTR(bindings.Get())), StringOf(V_BSTR(read.Get())));
}

TEST_F(SelectionTest, RefusedExpressionsAndProperties) {
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), kTranslation, &loaded)});
    HRESULT hr = S_OK;
    // A group name holding a double quote breaks the literal of the system's group selection.
    EXPECT_FALSE(SelectSingle(document.Get(), L"fdt:DtmVariables[@name = \"a\"b\"]", &hr));
    EXPECT_EQ(Hr{E_FAIL}, Hr{hr});

    ql::Bstr unknown(L"NoSuchProperty");
    ql::Variant value;
    ASSERT_EQ(S_OK, value.SetBstr(L"x"));
    EXPECT_EQ(Hr{E_FAIL}, Hr{document->setProperty(unknown.Get(), *value.Get())});
    ql::Bstr language(L"SelectionLanguage");
    ASSERT_EQ(S_OK, value.SetBstr(L"Prolog"));
    EXPECT_EQ(Hr{E_FAIL}, Hr{document->setProperty(language.Get(), *value.Get())});
}

}  // namespace
}  // namespace msxmltest
