// Validation while loading through COM: missing schemas and the recovery that adds them, the error's text,
// and the switches that turn validation off. (Every sample document against its schemas is run by the
// core's native tests.)
#include "MsxmlTestSupport.h"
#include "classlib/Utf8.h"

namespace msxmltest {
namespace {

using SchemaValidationTest = MsxmlTest;

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

}  // namespace
}  // namespace msxmltest
