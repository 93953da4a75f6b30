// The missing-schema recovery on a document that MSXML could not validate, with a recording collection in
// the handler (and the loader's failures when no document can be made): which file is added from where,
// and what the retry flag and the result say.
#include <gtest/gtest.h>

#include "FakeSchemaCollection.h"
#include "TestDocuments.h"
#include "XmlTestSupport.h"
#include "xml/QuelkXMLHandlerImpl.h"

namespace xmltest {
namespace {

class AddMissingSchemaTest : public ComTest {
protected:
    // A document (made by MSXML, with no schemas attached) that failed to load `text`.
    static ql::ComPtr<IXMLDOMDocument2> FailedDocument(const wchar_t* text) {
        ql::ComPtr<IXMLDOMDocument2> document;
        EXPECT_HR(S_OK, ::CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_ALL, IID_IXMLDOMDocument2,
                                           document.PutVoid()));
        VARIANT_BOOL loaded = VARIANT_TRUE;
        if (document) {
            EXPECT_HR(S_FALSE, document->loadXML(ql::Bstr(text).Get(), &loaded));
        }
        EXPECT_EQ(VARIANT_FALSE, loaded);
        return document;
    }

    FakeSchemaCollection collection_;
    FakeClassFactory cacheFactory_{CLSID_XMLSchemaCache, &collection_};
    RecordingSink report_;
};

TEST_F(AddMissingSchemaTest, TheQuotedFileIsAddedFromTheHandlersFolder) {
    const ql::ComPtr<IXMLDOMDocument2> document = FailedDocument(kBareFunctionCall);
    ASSERT_TRUE(document);
    const struct {
        const wchar_t* folder;
        const wchar_t* location;
    } cases[] = {{L"C:\\S", L"C:\\S\\DTMFunctionCallSchema.xml"},
                 {L"C:\\S\\", L"C:\\S\\DTMFunctionCallSchema.xml"},
                 {nullptr, L"\\DTMFunctionCallSchema.xml"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder ? ql::Utf8FromWide(c.folder) : "null folder");
        CQuelkXMLHandlerImpl handler;
        ASSERT_HR(S_OK, handler.InitializeSchemaCache(c.folder, nullptr, &report_));
        collection_.adds.clear();
        VARIANT_BOOL retry = VARIANT_FALSE;
        EXPECT_HR(S_OK, handler.AddMissingSchema(document.Get(), &retry));
        EXPECT_EQ(VARIANT_TRUE, retry);
        ASSERT_FALSE(collection_.adds.empty());
        for (const auto& add : collection_.adds) {
            EXPECT_EQ(L"x-schema:DTMFunctionCallSchema.xml", add.schemaNamespace);
            EXPECT_EQ(c.location, add.location);
        }
    }
    EXPECT_TRUE(report_.messages.empty());
}

TEST_F(AddMissingSchemaTest, AnAddThatIsNotSOkIsTheResultAndAsksForNoRetry) {
    const ql::ComPtr<IXMLDOMDocument2> document = FailedDocument(kBareFunctionCall);
    ASSERT_TRUE(document);
    CQuelkXMLHandlerImpl handler;
    ASSERT_HR(S_OK, handler.InitializeSchemaCache(L"C:\\S", nullptr, &report_));
    for (const HRESULT answer : {S_FALSE, E_FAIL, static_cast<HRESULT>(0x800C0006)}) {
        SCOPED_TRACE(HResultName(answer));
        collection_.defaultAnswer = answer;
        collection_.adds.clear();
        VARIANT_BOOL retry = VARIANT_TRUE;
        EXPECT_HR(answer, handler.AddMissingSchema(document.Get(), &retry));
        EXPECT_EQ(VARIANT_FALSE, retry);
        EXPECT_EQ(1u, collection_.adds.size());
    }
}

TEST_F(AddMissingSchemaTest, OtherParseErrorsAndBadArgumentsAddNothing) {
    CQuelkXMLHandlerImpl handler;
    ASSERT_HR(S_OK, handler.InitializeSchemaCache(L"C:\\S", nullptr, &report_));
    const ql::ComPtr<IXMLDOMDocument2> malformed = FailedDocument(kMalformed);
    ASSERT_TRUE(malformed);
    VARIANT_BOOL retry = VARIANT_TRUE;
    EXPECT_HR(S_OK, handler.AddMissingSchema(malformed.Get(), &retry));
    EXPECT_EQ(VARIANT_FALSE, retry);
    retry = VARIANT_TRUE;
    EXPECT_HR(E_POINTER, handler.AddMissingSchema(nullptr, &retry));
    EXPECT_EQ(VARIANT_FALSE, retry);
    EXPECT_HR(E_POINTER, handler.AddMissingSchema(malformed.Get(), nullptr));
    EXPECT_TRUE(collection_.adds.empty());
}

TEST_F(AddMissingSchemaTest, WithoutACollectionOrPointersOrADocumentNothingLoads) {
    FakeClassFactory documentFactory(CLSID_DOMDocument, nullptr);
    CQuelkXMLHandlerImpl handler;
    IXMLDOMDocument2* document = nullptr;
    VARIANT_BOOL loaded = VARIANT_TRUE;
    const ql::Bstr text(kFunctionCall);
    // A handler whose cache was never set up.
    EXPECT_HR(E_POINTER, handler.LoadXMLDocument(text.Get(), &document, &loaded, &report_));
    EXPECT_EQ(VARIANT_TRUE, loaded);
    ASSERT_HR(S_OK, handler.InitializeSchemaCache(L"C:\\S", nullptr, &report_));
    EXPECT_HR(E_POINTER, handler.LoadXMLDocument(text.Get(), nullptr, &loaded, &report_));
    EXPECT_HR(E_POINTER, handler.LoadXMLDocument(text.Get(), &document, nullptr, &report_));
    EXPECT_EQ(0, documentFactory.requests);
    EXPECT_TRUE(report_.messages.empty());

    // A document that cannot be made is reported.
    const struct {
        HRESULT createResult;
        HRESULT expected;
        const char* printed;
    } cases[] = {{E_OUTOFMEMORY, E_OUTOFMEMORY, "8007000E"}, {S_OK, E_FAIL, "00000000"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.printed);
        report_.messages.clear();
        documentFactory.createResult = c.createResult;
        EXPECT_HR(c.expected, handler.LoadXMLDocument(text.Get(), &document, &loaded, &report_));
        EXPECT_EQ(VARIANT_FALSE, loaded);
        EXPECT_EQ(nullptr, document);
        EXPECT_EQ(
            std::vector<std::string>{std::string("::LoadXMLDocument\nCoCreateInstance on IXMLDOMDocument "
                                                 "failed!\n(CODE == ") +
                                     c.printed + ")"},
            report_.messages);
    }
}

}  // namespace
}  // namespace xmltest
