// Validation while loading: the sample documents against the project's XDR schemas, missing schemas and
// the recovery that adds them, and the switches that turn validation off.
#include <filesystem>
#include <sstream>

#include "MsxmlTestSupport.h"
#include "classlib/Utf8.h"

namespace msxmltest {
namespace {

class SchemaValidationTest : public MsxmlTest {};

struct SampleCase {
    bool valid;
    std::string path;                   // below tests/data/xml
    std::vector<std::wstring> schemas;  // file names in data/schemas
    std::string reason;
};

// tests/data/xml/cases.txt: valid|invalid <TAB> path <TAB> schemas (comma-separated) <TAB> reason.
std::vector<SampleCase> ReadCases() {
    std::vector<SampleCase> cases;
    std::istringstream lines(ql::Utf8FromWide(ReadUtf8File(SampleDocumentPath("cases.txt"))));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> columns;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) columns.push_back(field);
        if (columns.size() < 3) continue;
        SampleCase c{columns[0] == "valid", columns[1], {}, columns.size() > 3 ? columns[3] : ""};
        std::istringstream names(columns[2]);
        for (std::string name; std::getline(names, name, ',');) c.schemas.push_back(ql::WideFromUtf8(name));
        cases.push_back(std::move(c));
    }
    return cases;
}

bool SchemaFileExists(const std::wstring& name) { return std::filesystem::exists(SchemaFilePath(name)); }

bool IsSyntaxCode(LONG code) { return (static_cast<ULONG>(code) & 0xFFFFFF00u) == 0xC00CE500u; }
bool IsValidationCode(LONG code) {
    const ULONG value = static_cast<ULONG>(code);
    return (value & 0xFFFFFF00u) == 0xC00CE000u || (value & 0xFFFFFF00u) == 0xC00CE100u;
}

TEST_F(SchemaValidationTest, SampleDocumentsAgainstTheirSchemas) {
    const std::vector<SampleCase> cases = ReadCases();
    ASSERT_GT(cases.size(), 100u);
    for (const SampleCase& c : cases) {
        SCOPED_TRACE(c.path + ": " + c.reason);
        std::vector<std::wstring> available;
        bool namesMissingSchema = false;
        for (const std::wstring& name : c.schemas) {
            if (SchemaFileExists(name))
                available.push_back(name);
            else
                namesMissingSchema = true;
        }
        ql::ComPtr<IXMLDOMSchemaCollection> cache = SchemaCacheWith(available);
        ASSERT_TRUE(cache);
        ql::ComPtr<IXMLDOMDocument2> document = DocumentWith(cache.Get());
        ASSERT_TRUE(document);
        VARIANT_BOOL loaded = VARIANT_FALSE;
        const HRESULT hr = LoadXml(document.Get(), ReadUtf8File(SampleDocumentPath(c.path)), &loaded);
        const ParseErrorFields error = ParseErrorOf(document.Get());
        if (c.valid) {
            EXPECT_EQ(Hr{S_OK}, Hr{hr}) << ql::Utf8FromWide(error.reason);
            EXPECT_EQ(VARIANT_TRUE, loaded);
            continue;
        }
        EXPECT_EQ(Hr{S_FALSE}, Hr{hr});
        EXPECT_EQ(VARIANT_FALSE, loaded);
        if (namesMissingSchema) {
            EXPECT_EQ(Hr{kObjectNotFound}, Hr{error.errorCode});
        } else if (c.path.find("unescaped") != std::string::npos) {
            EXPECT_TRUE(IsSyntaxCode(error.errorCode)) << std::hex << error.errorCode;
        } else {
            EXPECT_TRUE(IsValidationCode(error.errorCode))
                << std::hex << error.errorCode << " " << ql::Utf8FromWide(error.reason);
        }
    }
}

TEST_F(SchemaValidationTest, MissingSchemaNamesTheFileInQuotesOnLinesEndingInLineFeeds) {
    ql::ComPtr<IXMLDOMSchemaCollection> cache = SchemaCacheWith({L"FDTOperationPhaseSchema.xml"});
    ASSERT_TRUE(cache);
    for (const char* path : {"invalid/missing-schema.xml", "invalid/missing-schema-for-prefix.xml"}) {
        SCOPED_TRACE(path);
        ql::ComPtr<IXMLDOMDocument2> document = DocumentWith(cache.Get());
        VARIANT_BOOL loaded = VARIANT_TRUE;
        EXPECT_EQ(Hr{S_FALSE}, Hr{LoadXml(document.Get(), ReadUtf8File(SampleDocumentPath(path)), &loaded)});
        const ParseErrorFields error = ParseErrorOf(document.Get());
        EXPECT_EQ(Hr{kObjectNotFound}, Hr{error.errorCode});
        EXPECT_NE(std::wstring::npos, error.reason.find(L"'NoSuchSchema.xml'"))
            << ql::Utf8FromWide(error.reason);
        EXPECT_EQ(std::wstring::npos, error.reason.find(L'\r'));
        ASSERT_FALSE(error.reason.empty());
        EXPECT_EQ(L'\n', error.reason.back());
    }
}

// The loader's recovery: the parse error names the missing file, the file is added to the attached
// collection, and the same text loads on the second attempt into the same document.
TEST_F(SchemaValidationTest, SchemaAddedAfterAFailedLoadServesTheRetry) {
    ql::ComPtr<IXMLDOMSchemaCollection> cache = SchemaCacheWith({L"FDTDataTypesSchema.xml"});
    ASSERT_TRUE(cache);
    ql::ComPtr<IXMLDOMDocument2> document = DocumentWith(cache.Get());
    const std::wstring text = ReadUtf8File(SampleDocumentPath("valid/user-message.xml"));
    VARIANT_BOOL loaded = VARIANT_TRUE;
    ASSERT_EQ(Hr{S_FALSE}, Hr{LoadXml(document.Get(), text, &loaded)});
    const ParseErrorFields error = ParseErrorOf(document.Get());
    ASSERT_EQ(Hr{kObjectNotFound}, Hr{error.errorCode});
    EXPECT_NE(std::wstring::npos, error.reason.find(L"'FDTUserMessageSchema.xml'"))
        << ql::Utf8FromWide(error.reason);

    ql::Bstr uri(L"x-schema:FDTUserMessageSchema.xml");
    ql::Variant location;
    ASSERT_EQ(S_OK, location.SetBstr(SchemaFilePath(L"FDTUserMessageSchema.xml").c_str()));
    ASSERT_EQ(Hr{S_OK}, Hr{cache->add(uri.Get(), *location.Get())});
    EXPECT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), text, &loaded)});
    EXPECT_EQ(VARIANT_TRUE, loaded);
}

TEST_F(SchemaValidationTest, ValidationErrorNamesTheAttribute) {
    ql::ComPtr<IXMLDOMSchemaCollection> cache = SchemaCacheWith(
        {L"DTMFunctionCallSchema.xml", L"DTMFunctionsSchema.xml", L"FDTApplicationIdSchema.xml",
         L"FDTOperationPhaseSchema.xml", L"FDTDataTypesSchema.xml"});
    ASSERT_TRUE(cache);
    ql::ComPtr<IXMLDOMDocument2> document = DocumentWith(cache.Get());
    VARIANT_BOOL loaded = VARIANT_TRUE;
    ASSERT_EQ(Hr{S_FALSE},
              Hr{LoadXml(document.Get(),
                         ReadUtf8File(SampleDocumentPath("invalid/function-call-function-id-not-number.xml")),
                         &loaded)});
    const ParseErrorFields error = ParseErrorOf(document.Get());
    EXPECT_NE(std::wstring::npos, error.reason.find(L"functionId")) << ql::Utf8FromWide(error.reason);
    EXPECT_GT(error.line, 0);
    EXPECT_GT(error.linepos, 0);
}

TEST_F(SchemaValidationTest, ValidateOnParseOffLoadsAnInvalidDocument) {
    ql::ComPtr<IXMLDOMSchemaCollection> cache = SchemaCacheWith({L"FDTOperationPhaseSchema.xml"});
    ASSERT_TRUE(cache);
    ql::ComPtr<IXMLDOMDocument2> document = DocumentWith(cache.Get());
    const std::wstring text =
        ReadUtf8File(SampleDocumentPath("invalid/operation-phase-missing-attribute.xml"));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(Hr{S_FALSE}, Hr{LoadXml(document.Get(), text, &loaded)});
    ASSERT_EQ(S_OK, document->put_validateOnParse(VARIANT_FALSE));
    EXPECT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), text, &loaded)});
    // validate() still judges the loaded tree against the schemas.
    ql::ComPtr<IXMLDOMParseError> error;
    EXPECT_EQ(Hr{S_FALSE}, Hr{document->validate(error.Put())});
    ASSERT_TRUE(error);
    LONG code = 0;
    EXPECT_EQ(S_OK, error->get_errorCode(&code));
    EXPECT_TRUE(IsValidationCode(code)) << std::hex << code;
}

// A value fragment parsed into a scratch document with resolveExternals off and no schema cache: its
// "x-schema:" namespace loads no schema, so a text in the user's number format still parses.
TEST_F(SchemaValidationTest, ResolveExternalsOffWithoutSchemasLoadsUnvalidated) {
    const wchar_t* fragment =
        L"<fdt:Variant xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\" dataType=\"float\"> "
        L"<fdt:NumberData number=\"1,5\" /></fdt:Variant>";
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    ASSERT_TRUE(document);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    EXPECT_EQ(Hr{S_FALSE}, Hr{LoadXml(document.Get(), fragment, &loaded)});
    EXPECT_EQ(Hr{kObjectNotFound}, Hr{ParseErrorOf(document.Get()).errorCode});

    ASSERT_EQ(S_OK, document->put_async(VARIANT_FALSE));
    ASSERT_EQ(S_OK, document->put_resolveExternals(VARIANT_FALSE));
    EXPECT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), fragment, &loaded)});
    ql::ComPtr<IXMLDOMNode> first;
    ASSERT_EQ(S_OK, document->get_firstChild(first.Put()));
    EXPECT_EQ(L"fdt:Variant", NameOf(first.Get()));
}

}  // namespace
}  // namespace msxmltest
