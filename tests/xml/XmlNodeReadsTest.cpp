// Typed reads from a loaded function-call document, as a control's FDT initialisation makes them.
#include <gtest/gtest.h>

#include <string>

#include "TestDocuments.h"
#include "XmlTestSupport.h"
#include "xml/QuelkXMLHandlerImpl.h"
#include "xml/SchemaLists.h"
#include "xml/XmlNodeReads.h"

namespace xmltest {
namespace {

constexpr wchar_t kFunctionIdPath[] = L"*/FDTFunctionCall/@func:functionId";
constexpr wchar_t kOperationPhasePath[] = L"*/FDTFunctionCall/@ops:operationPhase";

class XmlNodeReadsTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_HR(S_OK, handler_.InitializeSchemaCache(SchemasFolder().c_str(), BuiltInSchemaList, &report_));
        full_ = LoadOrFail(kFunctionCall);
        bare_ = LoadOrFail(kBareFunctionCall);
        ASSERT_TRUE(full_ && bare_);
    }
    ql::ComPtr<IXMLDOMNode> LoadOrFail(const wchar_t* text) {
        ql::ComPtr<IXMLDOMDocument2> document;
        VARIANT_BOOL loaded = VARIANT_FALSE;
        EXPECT_HR(S_OK, handler_.LoadXMLDocument(ql::Bstr(text).Get(), document.Put(), &loaded, &report_));
        EXPECT_EQ(VARIANT_TRUE, loaded);
        EXPECT_TRUE(report_.messages.empty());
        ql::ComPtr<IXMLDOMNode> node;
        if (document) {
            EXPECT_HR(S_OK, document.QueryTo(IID_IXMLDOMNode, node.PutVoid()));
        }
        return node;
    }

    ScopedRegistryFolder noRegistryFolder_;
    CQuelkXMLHandlerImpl handler_;
    RecordingSink report_;
    ql::ComPtr<IXMLDOMNode> full_, bare_;
};

TEST_F(XmlNodeReadsTest, TheFunctionIdReadsAsI4ThroughTheSchemaAndAsTextThroughTheNode) {
    ql::Variant value;
    EXPECT_HR(S_OK, XmlGetNodeValue(full_.Get(), ql::Bstr(kFunctionIdPath).Get(), value.Get(), VT_I4));
    EXPECT_EQ("i4:12", Describe(*value));
    EXPECT_HR(S_OK, XmlGetNodeValue(full_.Get(), ql::Bstr(kFunctionIdPath).Get(), value.Get(), VT_BSTR));
    EXPECT_EQ("bstr:'12'", Describe(*value));
    // A failed conversion returns its code with the value cleared.
    EXPECT_HR(DISP_E_TYPEMISMATCH,
              XmlGetNodeValue(full_.Get(), ql::Bstr(kOperationPhasePath).Get(), value.Get(), VT_I4));
    EXPECT_EQ(VT_EMPTY, value.Type());
}

TEST_F(XmlNodeReadsTest, NodeExistsAnswersOneOnlyForASelectedNode) {
    const struct {
        const char* name;
        IXMLDOMNode* node;
        const wchar_t* xpath;
        LONG answer;
    } cases[] = {
        {"function id present", full_.Get(), kFunctionIdPath, 1},
        {"function id absent", bare_.Get(), kFunctionIdPath, 0},
        {"element path", full_.Get(), L"*/FDTFunctionCall", 1},
        {"selection error", full_.Get(), L"*/FDTFunctionCall[", 0},
        // Bad arguments must not read as "found".
        {"no node", nullptr, kFunctionIdPath, 0},
        {"empty path", full_.Get(), L"", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.answer, XmlNodeExists(c.node, ql::Bstr(c.xpath).Get())) << c.name;
}

}  // namespace
}  // namespace xmltest
