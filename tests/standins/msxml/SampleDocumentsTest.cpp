// The project's FDT schema files (data/schemas) and sample documents
// (tests/data/xml, listed with their expected outcome in cases.txt) through the
// core: every schema compiles, every valid sample loads, every invalid one is
// refused, and a schema named but absent gives 0x800C0006.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace msxml_core::test {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator)) parts.push_back(part);
    return parts;
}

TEST(SampleDocumentsTest, CasesLoadAsListed) {
    std::string table = ReadRepositoryFile("tests/data/xml/cases.txt");
    if (table.empty()) GTEST_SKIP() << "no tests/data/xml/cases.txt";
    size_t checked = 0;
    SchemaCollection compiled;
    for (const std::string& line : Split(table, '\n')) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> columns = Split(line, '\t');
        ASSERT_GE(columns.size(), 3u) << line;
        const std::string& path = columns[1];
        SCOPED_TRACE(path + (columns.size() > 3 ? " (" + columns[3] + ")" : ""));
        bool expectValid = columns[0] == "valid";
        auto schemas = std::make_shared<SchemaCollection>();
        bool schemaMissing = false;
        for (const std::string& file : Split(columns[2], ',')) {
            if (file.empty()) continue;
            if (!RepositoryFileExists("data/schemas/" + file)) {
                schemaMissing = true;
                continue;
            }
            // Each file is compiled once and shared by the cases, as a collection shares it.
            XmlString namespaceUri = U("x-schema:" + file);
            if (!compiled.Find(namespaceUri)) {
                ParseError error;
                ASSERT_TRUE(
                    compiled.AddFromBytes(namespaceUri, ReadRepositoryFile("data/schemas/" + file), error))
                    << file << ": " << Describe(error);
            }
            schemas->AddCompiled(compiled.Find(namespaceUri));
        }
        std::string bytes = ReadRepositoryFile("tests/data/xml/" + path);
        ASSERT_FALSE(bytes.empty()) << "missing sample";
        Document document;
        document.SetSchemas(schemas);
        bool loaded =
            document.LoadBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), U(path));
        EXPECT_EQ(loaded, expectValid) << Describe(document.LastError());
        // A refusal is of the kind the case names: a missing schema, a syntax error (its reason says "not
        // well-formed"), or else a validation error.
        const unsigned kind = document.LastError().errorCode & 0xFFFFFF00u;
        if (schemaMissing) {
            EXPECT_EQ(Hex(document.LastError().errorCode), "0x800C0006");
        } else if (!expectValid) {
            const bool syntax = columns.size() > 3 && columns[3].find("not well-formed") != std::string::npos;
            EXPECT_TRUE(syntax ? kind == 0xC00CE500u : kind == 0xC00CE000u || kind == 0xC00CE100u)
                << Describe(document.LastError());
        }
        ++checked;
    }
    EXPECT_GT(checked, 0u);
}

}  // namespace
}  // namespace msxml_core::test

namespace msxml_core::test {
namespace {

std::shared_ptr<SchemaCollection> AllSchemaFiles() {
    auto schemas = std::make_shared<SchemaCollection>();
    for (const std::string& file : ListRepositoryFiles("data/schemas", ".xml")) {
        ParseError error;
        schemas->AddFromBytes(U("x-schema:" + file), ReadRepositoryFile("data/schemas/" + file), error);
    }
    return schemas;
}

struct SampleSelection {
    const char* file;
    const char* context;  // selected first; null: the document
    const char* expression;
    size_t count;
    const char* firstValue;  // text of the first node
    TypedValue::Kind kind;   // typed value of the first node
};

// The reads the system makes, on the project's sample documents validated by its schemas.
const SampleSelection kSampleSelections[] = {
    {"dpv1-read-response.xml", nullptr, "FDT/ReadResponse/fdt:CommunicationData/@byteArray", 1, "42C8000080",
     TypedValue::Kind::Bytes},
    {"dpv1-read-response.xml", nullptr, "FDT/ReadResponse/@errorCode", 1, "000000", TypedValue::Kind::Bytes},
    {"dpv1-read-response.xml", nullptr, "FDT/fdt:CommunicationError", 0, "", TypedValue::Kind::Null},
    {"dpv1-communication-error.xml", nullptr, "FDT/fdt:CommunicationError", 1, "", TypedValue::Kind::String},
    {"function-call.xml", nullptr, "*/FDTFunctionCall/@func:functionId", 1, "2", TypedValue::Kind::I4},
    {"user-message-answer.xml", nullptr, ".//@resultMessage", 1, "buttonCancel", TypedValue::Kind::String},
    {"parameters-exported.xml", nullptr, "FDT/DtmDevice/@fdt:tag", 1, "PT-101", TypedValue::Kind::String},
    {"parameters-exported.xml", nullptr, "FDT/DtmDevice/ExportedVariables/fdt:DtmVariables//fdt:DtmVariable",
     10, "", TypedValue::Kind::String},
    {"parameters-exported.xml",
     "FDT/DtmDevice/ExportedVariables/fdt:DtmVariables//fdt:DtmVariable[@name = \"Transducer Block - Span\"]",
     "fdt:Value/fdt:Variant/fdt:NumberData/@number", 1, "100.6", TypedValue::Kind::String},
    {"parameters-exported.xml",
     "FDT/DtmDevice/ExportedVariables/fdt:DtmVariables//fdt:DtmVariable[@name = \"Transducer Block - Note\"]",
     "fdt:Value/fdt:Display/@string", 1, "a & b", TypedValue::Kind::String},
};

TEST(SampleDocumentsTest, SelectionsAndTypedValuesOnSamples) {
    if (ListRepositoryFiles("data/schemas", ".xml").empty()) GTEST_SKIP() << "no schema files";
    auto schemas = AllSchemaFiles();
    for (const SampleSelection& testCase : kSampleSelections) {
        SCOPED_TRACE(std::string(testCase.file) + ": " + testCase.expression);
        std::string bytes = ReadRepositoryFile("tests/data/xml/valid/" + std::string(testCase.file));
        if (bytes.empty()) {
            ADD_FAILURE() << "missing sample";
            continue;
        }
        Document document;
        document.SetSchemas(schemas);
        ASSERT_TRUE(document.LoadBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                       U(testCase.file)))
            << Describe(document.LastError());
        Node* context = &document.DocumentNode();
        XmlString reason;
        if (testCase.context != nullptr) {
            ASSERT_TRUE(document.SelectSingleNode(*context, U(testCase.context), context, reason))
                << A(reason);
            ASSERT_NE(context, nullptr);
        }
        std::vector<Node*> nodes;
        ASSERT_TRUE(document.SelectNodes(*context, U(testCase.expression), nodes, reason)) << A(reason);
        EXPECT_EQ(nodes.size(), testCase.count);
        if (nodes.empty()) continue;
        if (nodes.front()->Type() == NodeType::Attribute) {
            EXPECT_EQ(A(nodes.front()->Value()), testCase.firstValue);
        }
        TypedValue value;
        ASSERT_TRUE(Document::GetTypedValue(*nodes.front(), value));
        EXPECT_EQ(value.kind, testCase.kind);
    }
}

}  // namespace
}  // namespace msxml_core::test
