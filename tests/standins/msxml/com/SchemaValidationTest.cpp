// Validation while loading through COM: missing schemas and the recovery that adds them, the error's text,
// and the switches that turn validation off. (Every sample document against its schemas is run by the
// core's native tests.)
#include "MsxmlTestSupport.h"
#include "classlib/Utf8.h"

namespace msxmltest {
namespace {

using SchemaValidationTest = MsxmlTest;

bool IsValidationCode(LONG code) {
    const ULONG value = static_cast<ULONG>(code) & 0xFFFFFF00u;
    return value == 0xC00CE000u || value == 0xC00CE100u;
}

HRESULT LoadSample(IXMLDOMDocument* document, const char* path) {
    VARIANT_BOOL loaded = VARIANT_FALSE;
    return LoadXml(document, ReadUtf8File(SampleDocumentPath(path)), &loaded);
}

TEST_F(SchemaValidationTest, MissingSchemaNamesTheFileInQuotesOnLinesEndingInLineFeeds) {
    ql::ComPtr<IXMLDOMSchemaCollection> cache = SchemaCacheWith({L"FDTOperationPhaseSchema.xml"});
    ASSERT_TRUE(cache);
    for (const char* path : {"invalid/missing-schema.xml", "invalid/missing-schema-for-prefix.xml"}) {
        SCOPED_TRACE(path);
        ql::ComPtr<IXMLDOMDocument2> document = DocumentWith(cache.Get());
        EXPECT_HR(S_FALSE, LoadSample(document.Get(), path));
        const ParseErrorFields error = ParseErrorOf(document.Get());
        EXPECT_HR(kObjectNotFound, error.errorCode);
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
    ASSERT_HR(S_FALSE, LoadSample(document.Get(), "valid/user-message.xml"));
    const ParseErrorFields error = ParseErrorOf(document.Get());
    ASSERT_HR(kObjectNotFound, error.errorCode);
    EXPECT_NE(std::wstring::npos, error.reason.find(L"'FDTUserMessageSchema.xml'"))
        << ql::Utf8FromWide(error.reason);
    ASSERT_HR(S_OK, cache->add(ql::Bstr(L"x-schema:FDTUserMessageSchema.xml").Get(),
                               *MakeBstr(SchemaFilePath(L"FDTUserMessageSchema.xml").c_str())));
    EXPECT_HR(S_OK, LoadSample(document.Get(), "valid/user-message.xml"));
}

TEST_F(SchemaValidationTest, ValidationErrorNamesTheAttribute) {
    ql::ComPtr<IXMLDOMSchemaCollection> cache = SchemaCacheWith(
        {L"DTMFunctionCallSchema.xml", L"DTMFunctionsSchema.xml", L"FDTApplicationIdSchema.xml",
         L"FDTOperationPhaseSchema.xml", L"FDTDataTypesSchema.xml"});
    ASSERT_TRUE(cache);
    ql::ComPtr<IXMLDOMDocument2> document = DocumentWith(cache.Get());
    ASSERT_HR(S_FALSE, LoadSample(document.Get(), "invalid/function-call-function-id-not-number.xml"));
    const ParseErrorFields error = ParseErrorOf(document.Get());
    EXPECT_TRUE(IsValidationCode(error.errorCode)) << std::hex << error.errorCode;
    EXPECT_NE(std::wstring::npos, error.reason.find(L"functionId")) << ql::Utf8FromWide(error.reason);
    EXPECT_GT(error.line, 0);
    EXPECT_GT(error.linepos, 0);
}

TEST_F(SchemaValidationTest, ValidateOnParseOffLoadsAnInvalidDocument) {
    ql::ComPtr<IXMLDOMSchemaCollection> cache = SchemaCacheWith({L"FDTOperationPhaseSchema.xml"});
    ASSERT_TRUE(cache);
    ql::ComPtr<IXMLDOMDocument2> document = DocumentWith(cache.Get());
    ASSERT_HR(S_FALSE, LoadSample(document.Get(), "invalid/operation-phase-missing-attribute.xml"));
    ASSERT_HR(S_OK, document->put_validateOnParse(VARIANT_FALSE));
    EXPECT_HR(S_OK, LoadSample(document.Get(), "invalid/operation-phase-missing-attribute.xml"));
    // validate() still judges the loaded tree against the schemas.
    ql::ComPtr<IXMLDOMParseError> error;
    EXPECT_HR(S_FALSE, document->validate(error.Put()));
    ASSERT_TRUE(error);
    LONG code = 0;
    EXPECT_HR(S_OK, error->get_errorCode(&code));
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
    EXPECT_HR(S_FALSE, LoadXml(document.Get(), fragment, &loaded));
    EXPECT_HR(kObjectNotFound, ParseErrorOf(document.Get()).errorCode);
    ASSERT_HR(S_OK, document->put_async(VARIANT_FALSE));
    ASSERT_HR(S_OK, document->put_resolveExternals(VARIANT_FALSE));
    EXPECT_HR(S_OK, LoadXml(document.Get(), fragment, &loaded));
    ql::ComPtr<IXMLDOMNode> first;
    ASSERT_HR(S_OK, document->get_firstChild(first.Put()));
    EXPECT_EQ(L"fdt:Variant", NameOf(first.Get()));
}

}  // namespace
}  // namespace msxmltest
