// The missing-schema recovery on a document that MSXML could not validate, with a recording collection
// in the handler: which file is added from where, and what the retry flag and the result say.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FakeSchemaCollection.h"
#include "TestDocuments.h"
#include "XmlTestSupport.h"
#include "classlib/ComPtr.h"
#include "classlib/Utf8.h"
#include "xml/QuelkXMLHandlerImpl.h"

namespace xmltest {
namespace {

class AddMissingSchemaTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        cacheFactory_ = std::make_unique<FakeClassFactory>(CLSID_XMLSchemaCache, &collection_);
    }
    void TearDown() override {
        cacheFactory_.reset();
        ComTest::TearDown();
    }
    // A document (made by MSXML, with no schemas attached) that failed to load `text`.
    static ql::ComPtr<IXMLDOMDocument2> FailedDocument(const wchar_t* text) {
        ql::ComPtr<IXMLDOMDocument2> document;
        EXPECT_EQ(S_OK, ::CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_ALL, IID_IXMLDOMDocument2,
                                           document.PutVoid()));
        VARIANT_BOOL loaded = VARIANT_TRUE;
        if (document) {
            EXPECT_EQ(S_FALSE, document->loadXML(Text(text).Get(), &loaded));
        }
        EXPECT_EQ(VARIANT_FALSE, loaded);
        return document;
    }

    FakeSchemaCollection collection_;
    std::unique_ptr<FakeClassFactory> cacheFactory_;
    RecordingSink report_;
};

TEST_F(AddMissingSchemaTest, TheQuotedFileIsAddedFromTheHandlersFolder) {
    const ql::ComPtr<IXMLDOMDocument2> document = FailedDocument(kBareFunctionCall);
    ASSERT_TRUE(document);
    struct Case {
        const wchar_t* folder;
        const wchar_t* location;
    } const cases[] = {
        {L"C:\\S", L"C:\\S\\DTMFunctionCallSchema.xml"},
        {L"C:\\S\\", L"C:\\S\\DTMFunctionCallSchema.xml"},
        {L"", L"\\DTMFunctionCallSchema.xml"},
        {nullptr, L"\\DTMFunctionCallSchema.xml"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder ? ql::Utf8FromWide(c.folder) : "null folder");
        CQuelkXMLHandlerImpl handler;
        ASSERT_EQ(S_OK, handler.InitializeSchemaCache(c.folder, nullptr, &report_));
        collection_.adds.clear();
        VARIANT_BOOL retry = VARIANT_FALSE;
        EXPECT_EQ(Hr{S_OK}, Hr{handler.AddMissingSchema(document.Get(), &retry)});
        EXPECT_EQ(VARIANT_TRUE, retry);
        ASSERT_FALSE(collection_.adds.empty());
        for (const auto& add : collection_.adds) {
            EXPECT_EQ(L"x-schema:DTMFunctionCallSchema.xml", add.schemaNamespace);
            EXPECT_EQ(c.location, add.location);
            EXPECT_EQ(VT_BSTR, add.locationType);
        }
    }
    EXPECT_EQ(std::vector<std::string>{}, report_.messages);
}

TEST_F(AddMissingSchemaTest, AnAddThatIsNotSOkIsTheResultAndAsksForNoRetry) {
    const ql::ComPtr<IXMLDOMDocument2> document = FailedDocument(kBareFunctionCall);
    ASSERT_TRUE(document);
    CQuelkXMLHandlerImpl handler;
    ASSERT_EQ(S_OK, handler.InitializeSchemaCache(L"C:\\S", nullptr, &report_));
    for (const HRESULT answer : {S_FALSE, E_FAIL, static_cast<HRESULT>(0x800C0006)}) {
        SCOPED_TRACE(::testing::PrintToString(Hr{answer}));
        collection_.defaultAnswer = answer;
        collection_.adds.clear();
        VARIANT_BOOL retry = VARIANT_TRUE;
        EXPECT_EQ(Hr{answer}, Hr{handler.AddMissingSchema(document.Get(), &retry)});
        EXPECT_EQ(VARIANT_FALSE, retry);
        EXPECT_EQ(1u, collection_.adds.size());
    }
}

TEST_F(AddMissingSchemaTest, OtherParseErrorsAndBadArgumentsAddNothing) {
    CQuelkXMLHandlerImpl handler;
    ASSERT_EQ(S_OK, handler.InitializeSchemaCache(L"C:\\S", nullptr, &report_));
    const ql::ComPtr<IXMLDOMDocument2> malformed = FailedDocument(kMalformed);
    ASSERT_TRUE(malformed);
    VARIANT_BOOL retry = VARIANT_TRUE;
    EXPECT_EQ(Hr{S_OK}, Hr{handler.AddMissingSchema(malformed.Get(), &retry)});
    EXPECT_EQ(VARIANT_FALSE, retry);

    retry = VARIANT_TRUE;
    EXPECT_EQ(Hr{E_POINTER}, Hr{handler.AddMissingSchema(nullptr, &retry)});
    EXPECT_EQ(VARIANT_FALSE, retry);
    EXPECT_EQ(Hr{E_POINTER}, Hr{handler.AddMissingSchema(malformed.Get(), nullptr)});
    EXPECT_TRUE(collection_.adds.empty());
}

}  // namespace
}  // namespace xmltest
