// The loader's own failures, with test doubles in place of MSXML: what it refuses before making a
// document, and what it reports when no document can be made.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeSchemaCollection.h"
#include "TestDocuments.h"
#include "XmlTestSupport.h"
#include "xml/QuelkXMLHandlerImpl.h"

namespace xmltest {
namespace {

class LoadFailureTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        cacheFactory_ = std::make_unique<FakeClassFactory>(CLSID_XMLSchemaCache, &collection_);
        documentFactory_ = std::make_unique<FakeClassFactory>(CLSID_DOMDocument, nullptr);
    }
    void TearDown() override {
        documentFactory_.reset();
        cacheFactory_.reset();
        ComTest::TearDown();
    }

    FakeSchemaCollection collection_;
    std::unique_ptr<FakeClassFactory> cacheFactory_;
    std::unique_ptr<FakeClassFactory> documentFactory_;
    CQuelkXMLHandlerImpl handler_;
    RecordingSink report_;
};

TEST_F(LoadFailureTest, WithoutACollectionOrPointersNoDocumentIsMade) {
    IXMLDOMDocument2* document = nullptr;
    VARIANT_BOOL loaded = VARIANT_TRUE;
    // A handler whose cache was never set up.
    EXPECT_EQ(Hr{E_POINTER},
              Hr{handler_.LoadXMLDocument(Text(kFunctionCall).Get(), &document, &loaded, &report_)});
    EXPECT_EQ(VARIANT_TRUE, loaded);

    ASSERT_EQ(S_OK, handler_.InitializeSchemaCache(L"C:\\S", nullptr, &report_));
    EXPECT_EQ(Hr{E_POINTER},
              Hr{handler_.LoadXMLDocument(Text(kFunctionCall).Get(), nullptr, &loaded, &report_)});
    EXPECT_EQ(Hr{E_POINTER},
              Hr{handler_.LoadXMLDocument(Text(kFunctionCall).Get(), &document, nullptr, &report_)});
    EXPECT_EQ(0, documentFactory_->requests);
    EXPECT_EQ(std::vector<std::string>{}, report_.messages);
}

TEST_F(LoadFailureTest, ADocumentThatCannotBeMadeIsReported) {
    ASSERT_EQ(S_OK, handler_.InitializeSchemaCache(L"C:\\S", nullptr, &report_));
    struct Case {
        const char* name;
        HRESULT createResult;
        HRESULT expected;
        const char* printed;
    } const cases[] = {
        {"creation fails", E_OUTOFMEMORY, E_OUTOFMEMORY, "8007000E"},
        {"creation gives no object", S_OK, E_FAIL, "00000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        report_.messages.clear();
        documentFactory_->createResult = c.createResult;
        IXMLDOMDocument2* document = nullptr;
        VARIANT_BOOL loaded = VARIANT_TRUE;
        EXPECT_EQ(Hr{c.expected},
                  Hr{handler_.LoadXMLDocument(Text(kFunctionCall).Get(), &document, &loaded, &report_)});
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
