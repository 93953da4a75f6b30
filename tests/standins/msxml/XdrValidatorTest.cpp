// XDR validation while loading: a schema pair shaped like the FDT schemas (a
// data-type schema whose types another schema takes through its "x-schema:"
// prefix), documents it accepts and broken variants it rejects, typed values,
// missing schemas and the schema collection itself.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace msxml_core::test {
namespace {

const char* const kTypesSchema =
    "<Schema name=\"Types\" xmlns=\"urn:schemas-microsoft-com:xml-data\" "
    "xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"
    "<AttributeType name=\"nodeId\" dt:type=\"ui4\"/>"
    "<AttributeType name=\"byteArray\" dt:type=\"bin.hex\"/>"
    "<ElementType name=\"CommunicationData\" content=\"empty\" model=\"closed\">"
    "<attribute type=\"byteArray\" required=\"yes\"/></ElementType>"
    "</Schema>";

const char* const kCommSchema =
    "<?xml version=\"1.0\"?>\n"
    "<Schema name=\"Comm\" xmlns=\"urn:schemas-microsoft-com:xml-data\" "
    "xmlns:dt=\"urn:schemas-microsoft-com:datatypes\" xmlns:fdt=\"x-schema:Types.xml\">\n"
    "  <AttributeType name=\"errorCode\" dt:type=\"bin.hex\" required=\"yes\"/>\n"
    "  <AttributeType name=\"mode\" dt:type=\"enumeration\" dt:values=\"read write\" default=\"read\"/>\n"
    "  <AttributeType name=\"api\" dt:type=\"ui1\"/>\n"
    "  <ElementType name=\"Value\" content=\"textOnly\" dt:type=\"i2\"/>\n"
    "  <ElementType name=\"Note\" content=\"textOnly\" model=\"closed\">"
    "<datatype dt:type=\"string\" dt:minLength=\"1\" dt:maxLength=\"4\"/></ElementType>\n"
    "  <ElementType name=\"ReadResponse\" content=\"eltOnly\" model=\"closed\" order=\"seq\">\n"
    "    <AttributeType name=\"communicationReference\" dt:type=\"uuid\" required=\"yes\"/>\n"
    "    <attribute type=\"errorCode\"/>\n"
    "    <attribute type=\"communicationReference\"/>\n"
    "    <attribute type=\"mode\"/>\n"
    "    <attribute type=\"fdt:nodeId\" required=\"no\"/>\n"
    "    <attribute type=\"api\"/>\n"
    "    <element type=\"fdt:CommunicationData\"/>\n"
    "    <element type=\"Value\" minOccurs=\"0\" maxOccurs=\"*\"/>\n"
    "    <group order=\"one\" minOccurs=\"0\"><element type=\"Note\"/><element type=\"Empty\"/></group>\n"
    "  </ElementType>\n"
    "  <ElementType name=\"Empty\" content=\"empty\" model=\"closed\"/>\n"
    "  <ElementType name=\"Mixed\" content=\"mixed\" model=\"closed\"><element "
    "type=\"Empty\"/></ElementType>\n"
    "  <ElementType name=\"Open\"/>\n"
    "  <ElementType name=\"FDT\" content=\"eltOnly\" model=\"closed\" order=\"one\">\n"
    "    <element type=\"ReadResponse\"/><element type=\"Mixed\"/><element type=\"Open\"/>\n"
    "  </ElementType>\n"
    "</Schema>";

const std::string kValidDocument =
    "<?xml version=\"1.0\"?>\n"
    "<FDT xmlns=\"x-schema:Comm.xml\" xmlns:fdt=\"x-schema:Types.xml\">\n"
    "  <ReadResponse errorCode=\"00\" communicationReference=\"6F9619FF-8B86-D011-B42D-00C04FC964FF\" "
    "fdt:nodeId=\"7\" api=\"3\">\n"
    "    <fdt:CommunicationData byteArray=\"42C8\"/>\n"
    "    <Value>-5</Value><Value> 7 </Value>\n"
    "    <Note>n</Note>\n"
    "  </ReadResponse>\n"
    "</FDT>";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    size_t pos = text.find(from);
    EXPECT_NE(pos, std::string::npos) << from;
    if (pos != std::string::npos) text.replace(pos, from.size(), to);
    return text;
}

std::shared_ptr<SchemaCollection> BothSchemas() {
    return MakeSchemas({{"x-schema:Types.xml", kTypesSchema}, {"x-schema:Comm.xml", kCommSchema}});
}

TEST(XdrValidatorTest, AcceptsTheValidDocumentAndItsVariants) {
    const struct {
        const char* name;
        std::string xml;
    } cases[] = {
        {"as written", kValidDocument},
        {"other branch of the group", Replace(kValidDocument, "<Note>n</Note>", "<Empty/>")},
        {"other branch of the root",
         "<FDT xmlns=\"x-schema:Comm.xml\"><Mixed>a<Empty/>b<Empty/></Mixed></FDT>"},
        {"document with no schema namespace", "<a><b c=\"d\"/></a>"},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto loaded = LoadWithSchemas(testCase.xml, BothSchemas());
        EXPECT_TRUE(loaded->loaded) << Describe(loaded->document.LastError());
    }
}

struct RejectCase {
    const char* name;
    std::string xml;
    ErrorCode code;
    const char* reasonPart;  // the reason names the node and the rule
    long line;
};

TEST(XdrValidatorTest, RejectsBrokenVariants) {
    const RejectCase cases[] = {
        {"wrong element name", Replace(kValidDocument, "<Note>n</Note>", "<Nothe>n</Nothe>"),
         codes::kElementUndeclared, "Element 'Nothe' is used but not declared", 6},
        {"missing required attribute", Replace(kValidDocument, "errorCode=\"00\" ", ""),
         codes::kRequiredAttributeMissing,
         "Required attribute 'errorCode' is missing on element 'ReadResponse'", 3},
        {"enumeration value outside the list",
         Replace(kValidDocument, "api=\"3\"", "api=\"3\" mode=\"append\""), codes::kAttributeValue,
         "Attribute 'mode' has an invalid value", 3},
        {"ui1 out of range", Replace(kValidDocument, "api=\"3\"", "api=\"300\""), codes::kDataTypeParse,
         "Error parsing '300' as ui1 datatype.\nThe attribute: 'api' with value '300' failed to parse.\n", 3},
        {"odd bin.hex", Replace(kValidDocument, "42C8", "42C"), codes::kDataTypeParse, "as bin.hex datatype",
         4},
        {"element with a bad typed value", Replace(kValidDocument, "<Value>-5</Value>", "<Value>x</Value>"),
         codes::kDataTypeParse, "The element: 'Value' with value 'x'", 5},
        {"text above the maximum length", Replace(kValidDocument, "<Note>n</Note>", "<Note>abcde</Note>"),
         codes::kDataTypeLength, "dt:maxLength 4", 6},
        {"bad content model order",
         Replace(Replace(kValidDocument, "<Note>n</Note>", ""), "<Value>-5</Value>",
                 "<Note>n</Note><Value>-5</Value>"),
         codes::kInvalidContent, "Element 'Value' is unexpected", 5},
        {"empty eltOnly element", "<FDT xmlns=\"x-schema:Comm.xml\"/>", codes::kEmptyNotAllowed,
         "Element 'FDT' cannot be empty", 1},
        {"undeclared attribute in a closed model",
         Replace(kValidDocument, "api=\"3\"", "api=\"3\" foo=\"1\""), codes::kAttributeNotDefined,
         "The attribute 'foo' on this element is not defined", 3},
        {"text in eltOnly content", Replace(kValidDocument, "<Note>n</Note>", "<Note>n</Note>stray"),
         codes::kIllegalText, "Text is not allowed in element 'ReadResponse'", 6},
    };
    for (const RejectCase& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto loaded = LoadWithSchemas(testCase.xml, BothSchemas());
        ASSERT_FALSE(loaded->loaded);
        const ParseError& error = loaded->document.LastError();
        EXPECT_EQ(Hex(error.errorCode), Hex(testCase.code)) << A(error.reason);
        EXPECT_NE(A(error.reason).find(testCase.reasonPart), std::string::npos) << A(error.reason);
        EXPECT_EQ(error.line, testCase.line);
        EXPECT_EQ(error.reason.back(), u'\n');
        EXPECT_EQ(loaded->document.DocumentNode().FirstChild(), nullptr);
    }
}

TEST(XdrValidatorTest, TypedValuesFollowTheSchema) {
    auto loaded = LoadWithSchemas(kValidDocument, BothSchemas());
    ASSERT_TRUE(loaded->loaded) << Describe(loaded->document.LastError());
    Document& document = loaded->document;
    struct Case {
        const char* expression;
        TypedValue::Kind kind;
        const char* dataType;
    } cases[] = {
        {"FDT/ReadResponse/@api", TypedValue::Kind::UI1, "ui1"},
        {"FDT/ReadResponse/@errorCode", TypedValue::Kind::Bytes, "bin.hex"},
        {"FDT/ReadResponse/@fdt:nodeId", TypedValue::Kind::UI4, "ui4"},
        {"FDT/ReadResponse/@communicationReference", TypedValue::Kind::String, "uuid"},
        {"FDT/ReadResponse/@mode", TypedValue::Kind::String, "enumeration"},
        {"FDT/ReadResponse/fdt:CommunicationData/@byteArray", TypedValue::Kind::Bytes, "bin.hex"},
        {"FDT/ReadResponse/Value", TypedValue::Kind::I2, "i2"},
        {"FDT/ReadResponse/Note", TypedValue::Kind::String, "string"},
        {"FDT", TypedValue::Kind::String, ""},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.expression);
        Node* node = nullptr;
        XmlString reason;
        ASSERT_TRUE(document.SelectSingleNode(document.DocumentNode(), U(testCase.expression), node, reason));
        ASSERT_NE(node, nullptr);
        TypedValue value;
        ASSERT_TRUE(Document::GetTypedValue(*node, value));
        EXPECT_EQ(value.kind, testCase.kind);
        EXPECT_EQ(A(DataTypeName(node->GetDataType())), testCase.dataType);
    }
    Node* byteArray = nullptr;
    XmlString reason;
    ASSERT_TRUE(document.SelectSingleNode(document.DocumentNode(), u"//@byteArray", byteArray, reason));
    TypedValue value;
    ASSERT_TRUE(Document::GetTypedValue(*byteArray, value));
    EXPECT_EQ(value.bytes, (std::vector<uint8_t>{0x42, 0xC8}));
    Node* mode = nullptr;
    ASSERT_TRUE(document.SelectSingleNode(document.DocumentNode(), u"FDT/ReadResponse/@mode", mode, reason));
    EXPECT_EQ(A(mode->Value()), "read");  // the schema's default
    EXPECT_FALSE(mode->IsSpecified());
}

TEST(XdrValidatorTest, MissingSchemaNamesTheFileInQuotes) {
    auto loaded = LoadWithSchemas(kValidDocument, MakeSchemas({{"x-schema:Comm.xml", kCommSchema}}));
    ASSERT_FALSE(loaded->loaded);
    const ParseError& error = loaded->document.LastError();
    EXPECT_EQ(Hex(error.errorCode), "0x800C0006");
    EXPECT_EQ(A(error.reason),
              "The system cannot locate the object specified.\nError processing resource 'Types.xml'.\n");
    EXPECT_EQ(error.line, 2);
    EXPECT_EQ(loaded->document.DocumentNode().FirstChild(), nullptr);

    // After adding the file the same text loads: the recovery the callers perform.
    ParseError addError;
    ASSERT_TRUE(loaded->document.Schemas()->AddFromBytes(u"x-schema:Types.xml", kTypesSchema, addError));
    EXPECT_TRUE(loaded->document.LoadXml(U(kValidDocument))) << Describe(loaded->document.LastError());
}

TEST(XdrValidatorTest, LoaderSuppliesSchemasTheCollectionLacks) {
    Document document;
    std::vector<std::string> requested;
    document.SetSchemaLoader([&](XmlStringView fileName, std::string& bytes) {
        requested.push_back(A(fileName));
        if (fileName == u"Types.xml")
            bytes = kTypesSchema;
        else if (fileName == u"Comm.xml")
            bytes = kCommSchema;
        else
            return false;
        return true;
    });
    ASSERT_TRUE(document.LoadXml(U(kValidDocument))) << Describe(document.LastError());
    EXPECT_EQ(requested, (std::vector<std::string>{"Comm.xml", "Types.xml"}));
    // Compiled once per document object: a second load asks for nothing.
    ASSERT_TRUE(document.LoadXml(U(kValidDocument)));
    EXPECT_EQ(requested.size(), 2u);
    // A schema file that is not a schema fails the load and names the file.
    ASSERT_FALSE(document.LoadXml(u"<a xmlns=\"x-schema:Bad.xml\"/>"));
    EXPECT_EQ(Hex(document.LastError().errorCode), "0x800C0006");
    document.SetSchemaLoader([](XmlStringView, std::string& bytes) {
        bytes = "<notASchema/>";
        return true;
    });
    ASSERT_FALSE(document.LoadXml(u"<a xmlns=\"x-schema:Bad.xml\"/>"));
    EXPECT_EQ(Hex(document.LastError().errorCode), Hex(codes::kSchemaInvalid));
    EXPECT_NE(A(document.LastError().reason).find("Error processing resource 'Bad.xml'.\n"),
              std::string::npos);
}

}  // namespace
}  // namespace msxml_core::test
