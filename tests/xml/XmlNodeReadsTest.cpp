// Typed reads from a loaded function-call document, as a control's FDT initialisation makes them.
#include <gtest/gtest.h>

#include <string>

#include "TestDocuments.h"
#include "XmlTestSupport.h"
#include "classlib/ComPtr.h"
#include "classlib/Variant.h"
#include "xml/FdtNameTables.h"
#include "xml/QuelkXMLHandlerImpl.h"
#include "xml/SchemaLists.h"
#include "xml/XmlNodeReads.h"

namespace xmltest {
namespace {

constexpr wchar_t kFunctionIdPath[] = L"*/FDTFunctionCall/@func:functionId";
constexpr wchar_t kApplicationIdPath[] = L"*/FDTFunctionCall/appId:ApplicationId/@applicationId";
constexpr wchar_t kOperationPhasePath[] = L"*/FDTFunctionCall/@ops:operationPhase";

class XmlNodeReadsTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_EQ(S_OK, handler_.InitializeSchemaCache(SchemasFolder().c_str(), BuiltInSchemaList, &report_));
        full_ = LoadOrFail(kFunctionCall);
        bare_ = LoadOrFail(kBareFunctionCall);
    }
    ql::ComPtr<IXMLDOMNode> LoadOrFail(const wchar_t* text) {
        ql::ComPtr<IXMLDOMDocument2> document;
        VARIANT_BOOL loaded = VARIANT_FALSE;
        EXPECT_EQ(S_OK, handler_.LoadXMLDocument(Text(text).Get(), document.Put(), &loaded, &report_));
        EXPECT_EQ(VARIANT_TRUE, loaded);
        EXPECT_EQ(std::vector<std::string>{}, report_.messages);
        ql::ComPtr<IXMLDOMNode> node;
        if (document) {
            EXPECT_EQ(S_OK, document.QueryTo(IID_IXMLDOMNode, node.PutVoid()));
        }
        return node;
    }

    ScopedRegistryFolder noRegistryFolder_;
    CQuelkXMLHandlerImpl handler_;
    RecordingSink report_;
    ql::ComPtr<IXMLDOMNode> full_, bare_;
};

TEST_F(XmlNodeReadsTest, TheFunctionIdReadsAsI4ThroughTheSchemaAndAsTextThroughTheNode) {
    ASSERT_TRUE(full_);
    ql::Variant value;
    EXPECT_EQ(Hr{S_OK}, Hr{XmlGetNodeValue(full_.Get(), Text(kFunctionIdPath).Get(), value.Get(), VT_I4)});
    EXPECT_EQ(VT_I4, value.Type());
    EXPECT_EQ(12, value->lVal);

    EXPECT_EQ(Hr{S_OK}, Hr{XmlGetNodeValue(full_.Get(), Text(kFunctionIdPath).Get(), value.Get(), VT_BSTR)});
    ASSERT_EQ(VT_BSTR, value.Type());
    EXPECT_EQ(std::wstring(L"12"), value->bstrVal);
}

TEST_F(XmlNodeReadsTest, GetNodeValueRefusesBadArgumentsAndLeavesTheValueWhenNothingIsSelected) {
    ASSERT_TRUE(full_);
    struct Case {
        const char* name;
        IXMLDOMNode* node;
        const wchar_t* xpath;  // null: a null BSTR
        HRESULT result;
    } const cases[] = {
        {"nothing selected", full_.Get(), L"*/FDTFunctionCall/@func:noSuchAttribute", E_FAIL},
        {"attribute absent", bare_.Get(), kFunctionIdPath, E_FAIL},
        {"empty path", full_.Get(), L"", E_INVALIDARG},
        {"null path", full_.Get(), nullptr, E_INVALIDARG},
        {"no node", nullptr, kFunctionIdPath, E_POINTER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ql::Variant value;
        value.SetI4(77);
        ql::Bstr xpath;
        if (c.xpath) xpath.Assign(c.xpath);
        EXPECT_EQ(Hr{c.result}, Hr{XmlGetNodeValue(c.node, xpath.Get(), value.Get(), VT_I4)});
        EXPECT_EQ(VT_I4, value.Type());
        EXPECT_EQ(77, value->lVal);
    }
    EXPECT_EQ(Hr{E_POINTER}, Hr{XmlGetNodeValue(full_.Get(), Text(kFunctionIdPath).Get(), nullptr, VT_I4)});
}

TEST_F(XmlNodeReadsTest, AFailedConversionReturnsItsCodeWithTheValueCleared) {
    ASSERT_TRUE(full_);
    ql::Variant value;
    value.SetI4(77);
    EXPECT_EQ(Hr{DISP_E_TYPEMISMATCH},
              Hr{XmlGetNodeValue(full_.Get(), Text(kOperationPhasePath).Get(), value.Get(), VT_I4)});
    EXPECT_EQ(VT_EMPTY, value.Type());
}

TEST_F(XmlNodeReadsTest, NodeExistsAnswersOneOnlyForASelectedNode) {
    ASSERT_TRUE(full_);
    ASSERT_TRUE(bare_);
    struct Case {
        const char* name;
        IXMLDOMNode* node;
        const wchar_t* xpath;
        LONG answer;
    } const cases[] = {
        {"function id present", full_.Get(), kFunctionIdPath, 1},
        {"function id absent", bare_.Get(), kFunctionIdPath, 0},
        {"element path", full_.Get(), L"*/FDTFunctionCall", 1},
        {"selection error", full_.Get(), L"*/FDTFunctionCall[", 0},
        // Bad arguments must not read as "found".
        {"no node", nullptr, kFunctionIdPath, 0},
        {"empty path", full_.Get(), L"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.answer, XmlNodeExists(c.node, Text(c.xpath).Get()));
    }
}

TEST_F(XmlNodeReadsTest, GetNodeTextSaysWhetherTheNodeWasThere) {
    ASSERT_TRUE(full_);
    ASSERT_TRUE(bare_);
    {
        SCOPED_TRACE("absent");
        BSTR text = nullptr;
        bool found = true;
        EXPECT_EQ(Hr{S_OK}, Hr{XmlGetNodeText(&text, &found, bare_.Get(), Text(kOperationPhasePath).Get())});
        EXPECT_FALSE(found);
        EXPECT_EQ(nullptr, text);
    }
    struct Case {
        const char* name;
        IXMLDOMNode* node;
        const wchar_t* xpath;
        HRESULT result;
    } const badArguments[] = {
        {"no node", nullptr, kOperationPhasePath, E_POINTER},
        {"empty path", full_.Get(), L"", E_INVALIDARG},
    };
    for (const Case& c : badArguments) {
        SCOPED_TRACE(c.name);
        BSTR text = nullptr;
        bool found = true;
        EXPECT_EQ(Hr{c.result}, Hr{XmlGetNodeText(&text, &found, c.node, Text(c.xpath).Get())});
        EXPECT_FALSE(found);
        EXPECT_EQ(nullptr, text);
    }
}

// The control's initialisation: application id and operation phase through their name tables, both
// left at 0 when the call does not carry them.
TEST_F(XmlNodeReadsTest, ApplicationIdAndOperationPhaseGoThroughTheirNameTables) {
    struct Case {
        const char* name;
        IXMLDOMNode* node;
        ULONG applicationId;
        ULONG operationPhase;
    } const cases[] = {
        {"full call", full_.Get(), 12, 4},
        {"bare call", bare_.Get(), 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(nullptr, c.node);
        ULONG applicationId = 0;
        if (XmlNodeExists(c.node, Text(kApplicationIdPath).Get())) {
            ql::Variant name;
            ASSERT_EQ(Hr{S_OK},
                      Hr{XmlGetNodeValue(c.node, Text(kApplicationIdPath).Get(), name.Get(), VT_BSTR)});
            EXPECT_EQ(Hr{S_OK}, Hr{ApplicationIdFromString(name->bstrVal, &applicationId)});
        }
        EXPECT_EQ(c.applicationId, applicationId);

        ULONG operationPhase = 0;
        BSTR text = nullptr;
        bool found = false;
        ASSERT_EQ(Hr{S_OK}, Hr{XmlGetNodeText(&text, &found, c.node, Text(kOperationPhasePath).Get())});
        ql::Bstr phase;
        phase.Attach(text);
        if (found) {
            EXPECT_EQ(Hr{S_OK}, Hr{OperationPhaseFromString(phase.Get(), &operationPhase)});
        }
        EXPECT_EQ(c.operationPhase, operationPhase);
    }
}

}  // namespace
}  // namespace xmltest
