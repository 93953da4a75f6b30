// selectNodes / selectSingleNode in XSLPattern (the MSXML 3 default) and XPath,
// with the expressions the system uses on documents shaped like its own.
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace msxml_core::test {
namespace {

const char* const kReadResponse =
    "<?xml version=\"1.0\"?>\n"
    "<FDT xmlns=\"x-schema:FDTProfibusDPV1CommunicationSchema.xml\" "
    "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">\n"
    "  <ReadResponse errorCode=\"000000\" communicationReference=\"ref1\">"
    "<fdt:CommunicationData byteArray=\"42C8\"/></ReadResponse>\n"
    "</FDT>";

const char* const kCommunicationError =
    "<FDT xmlns=\"x-schema:FDTProfibusDPV1CommunicationSchema.xml\" "
    "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
    "<fdt:CommunicationError errorCode=\"0102\" descriptor=\"timeout\"/></FDT>";

const char* const kFunctionCall =
    "<?xml version=\"1.0\"?> <FDT \txmlns\t\t=\"x-schema:DTMFunctionCallSchema.xml\" "
    "\txmlns:func\t=\"x-schema:DTMFunctionsSchema.xml\" "
    "\txmlns:appId\t=\"x-schema:FDTApplicationIdSchema.xml\" "
    "\txmlns:ops\t=\"x-schema:FDTOperationPhaseSchema.xml\"> \t<FDTFunctionCall func:functionId=\"2\" "
    "ops:operationPhase=\"runtime\"><appId:ApplicationId applicationId=\"fdtDiagnosis\"/></FDTFunctionCall> "
    "</FDT>";

const char* const kLocalization =
    "<localization><languages><language lcid=\"1033\" code=\"en\"/><language lcid=\"1031\" code=\"de\"/>"
    "<language code=\"fr\"/></languages>"
    "<ToolkitMessages><Message id=\"1000\"><locale code=\"en\">First</locale></Message>"
    "<Message id=\"1001\"><locale code=\"en\">Second</locale><locale code=\"de\">Zweite</locale></Message>"
    "</ToolkitMessages>"
    "<DTM><EnumerationList><Enumeration id=\"7\"><EnumerationEntry id=\"2\"><locale code=\"en\">Two</locale>"
    "</EnumerationEntry></Enumeration></EnumerationList></DTM></localization>";

const char* const kParameters =
    "<FDT xmlns=\"x-schema:DTMParameterSchema.xml\" xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
    "<DtmDevice fdt:tag=\"TIC-1\"><BusInformation><MasterSlaveBus busAddress=\"12\"/></BusInformation>"
    "<ExportedVariables><fdt:DtmVariables name=\"ExportedVariables\"><fdt:DtmVariables name=\"Group\">"
    "<fdt:DtmVariable name=\"Flow\"><fdt:Value><fdt:Display "
    "fdt:string=\"1.5\"/></fdt:Value></fdt:DtmVariable>"
    "</fdt:DtmVariables><fdt:DtmVariable "
    "name=\"Tag\"/></fdt:DtmVariables></ExportedVariables></DtmDevice></FDT>";

const char* const kNested = "<r><a id=\"1\"><a id=\"2\"><b>x</b></a><b>y</b></a><b>z</b>text<!--c--></r>";

const char* const kOtherPrefix =
    "<FDT xmlns:d=\"x-schema:FDTDataTypesSchema.xml\"><d:StringData d:string=\"s\"/></FDT>";

std::string Describe(const std::vector<Node*>& nodes) {
    std::string text;
    for (const Node* node : nodes) {
        if (!text.empty()) text += ",";
        switch (node->Type()) {
            case NodeType::Attribute:
                text += "@" + A(node->NodeName()) + "=" + A(node->Value());
                break;
            case NodeType::Element:
                text += A(node->NodeName());
                if (const Node* id = node->FindAttribute(u"id")) text += "#" + A(id->Value());
                break;
            default:
                text += A(node->NodeName()) + ":" + A(node->Value());
                break;
        }
    }
    return text;
}

struct SelectCase {
    const char* name;
    const char* document;
    const char* expression;
    const char* expected;           // Describe() of the result
    const char* context = nullptr;  // selected from the document first (XSLPattern)
};

const SelectCase kXslPatternCases[] = {
    {"communication error present", kCommunicationError, "FDT/fdt:CommunicationError",
     "fdt:CommunicationError"},
    {"root FDT only", kFunctionCall, "FDT/FDTFunctionCall/@func:functionId", "@func:functionId=2"},
    {"application id", kFunctionCall, "*/FDTFunctionCall/appId:ApplicationId/@applicationId",
     "@applicationId=fdtDiagnosis"},
    {"message by id", kLocalization, "localization/ToolkitMessages/Message[@id=\"1001\"]", "Message#1001"},
    {"no such message", kLocalization, "localization/ToolkitMessages/Message[@id=\"9\"]", ""},
    {"child text compared", kLocalization, "localization/ToolkitMessages/Message[locale=\"First\"]",
     "Message#1000"},
    {"bus address", kParameters, "FDT/DtmDevice/BusInformation/MasterSlaveBus/@busAddress", "@busAddress=12"},
    {"variable by name at any depth", kParameters,
     "FDT/DtmDevice/ExportedVariables/fdt:DtmVariables//fdt:DtmVariable[@name = \"Flow\"]",
     "fdt:DtmVariable"},
    {"qualified display string", kParameters, "fdt:Value/fdt:Display/@fdt:string", "@fdt:string=1.5",
     "//fdt:DtmVariable[@name=\"Flow\"]"},
    {"all b", kNested, "//b", "b,b,b"},
    {"star", kNested, "r/*", "a#1,b"},
    {"text nodes", kNested, "r/text()", "#text:text"},
    {"prefix the document does not use", kOtherPrefix, "FDT/fdt:StringData", ""},
    {"the document's own prefix", kOtherPrefix, "FDT/d:StringData/@d:string", "@d:string=s"},
};

void RunCases(const SelectCase* cases, size_t count, SelectionLanguage language, const char* namespaces) {
    for (size_t i = 0; i < count; ++i) {
        const SelectCase& testCase = cases[i];
        SCOPED_TRACE(testCase.name);
        Document document;
        document.SetValidateOnParse(false);
        document.SetSelectionLanguage(language);
        ASSERT_TRUE(document.SetSelectionNamespaces(U(namespaces)));
        ASSERT_TRUE(document.LoadXml(U(testCase.document)))
            << msxml_core::test::Describe(document.LastError());
        Node* context = &document.DocumentNode();
        XmlString reason;
        if (testCase.context != nullptr) {
            ASSERT_TRUE(document.SelectSingleNode(*context, U(testCase.context), context, reason))
                << A(reason);
            ASSERT_NE(context, nullptr);
        }
        std::vector<Node*> nodes;
        ASSERT_TRUE(document.SelectNodes(*context, U(testCase.expression), nodes, reason)) << A(reason);
        EXPECT_EQ(Describe(nodes), testCase.expected);
        Node* single = nullptr;
        ASSERT_TRUE(document.SelectSingleNode(*context, U(testCase.expression), single, reason));
        EXPECT_EQ(single, nodes.empty() ? nullptr : nodes.front());
    }
}

TEST(SelectionTest, XslPatternSelectsWhatTheSystemReads) {
    RunCases(kXslPatternCases, sizeof(kXslPatternCases) / sizeof(kXslPatternCases[0]),
             SelectionLanguage::XslPattern, "");
}

const SelectCase kXPathCases[] = {
    {"prefixed through SelectionNamespaces", kReadResponse,
     "p:FDT/p:ReadResponse/f:CommunicationData/@byteArray", "@byteArray=42C8"},
    {"unprefixed names are in no namespace", kReadResponse, "FDT", ""},
    {"local-name independent of the document prefix", kOtherPrefix, "FDT/f:StringData/@f:string",
     "@d:string=s"},
    {"absolute path from a nested context", kNested, "/r/b", "b", "r/a"},
};

TEST(SelectionTest, XPathUsesSelectionNamespaces) {
    RunCases(kXPathCases, sizeof(kXPathCases) / sizeof(kXPathCases[0]), SelectionLanguage::XPath,
             "xmlns:p='x-schema:FDTProfibusDPV1CommunicationSchema.xml' "
             "xmlns:f=\"x-schema:FDTDataTypesSchema.xml\"");
}

TEST(SelectionTest, DeeplyNestedExpressionIsRefusedNotOverflowed) {
    std::string expression(10000, '(');
    Document document;
    ASSERT_TRUE(document.LoadXml(U("<a/>")));
    std::vector<Node*> nodes;
    XmlString reason;
    EXPECT_FALSE(document.SelectNodes(document.DocumentNode(), U(expression), nodes, reason));
    std::string predicates;
    for (int i = 0; i < 5000; ++i) predicates += "a[";
    EXPECT_FALSE(document.SelectNodes(document.DocumentNode(), U(predicates), nodes, reason));
}

}  // namespace
}  // namespace msxml_core::test
