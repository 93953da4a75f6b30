// Validated loads through MSXML: one pass for a valid document, one silent retry for a schema the
// collection lacks, and the owner's message with the parse error for everything else.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "TestDocuments.h"
#include "XmlTestSupport.h"
#include "xml/QuelkXMLHandlerImpl.h"
#include "xml/SchemaLists.h"

namespace xmltest {
namespace {

// The built-in list without the function-call schema, which the documents name.
const char* const kWithoutFunctionCall[] = {"FDTDataTypesSchema.xml", "FDTApplicationIdSchema.xml",
                                            "DTMFunctionsSchema.xml", "FDTOperationPhaseSchema.xml", ""};

// "::LoadXMLDocument (ParseError)\n" and the text of GetParseError, its code in lower-case digits.
const std::regex kParseErrorMessage(
    "::LoadXMLDocument \\(ParseError\\)\nError 0x([0-9a-f]{8})\nLine ([0-9]+), Column "
    "([0-9]+)\n\n([\\s\\S]*)");

class LoadXmlDocumentTest : public ComTest {
protected:
    void Fill(const wchar_t* folder, SchemaList list) {
        ASSERT_HR(S_OK, handler_.InitializeSchemaCache(folder, list, &report_));
        ASSERT_EQ(std::vector<std::string>{}, report_.messages);
    }
    HRESULT Load(const wchar_t* text) {
        loaded_ = VARIANT_TRUE;
        return handler_.LoadXMLDocument(ql::Bstr(text).Get(), document_.Put(), &loaded_, &report_);
    }
    LONG CollectionLength() const {
        LONG length = -1;
        EXPECT_EQ(S_OK, handler_.SchemaCollection()->get_length(&length));
        return length;
    }

    ScopedRegistryFolder noRegistryFolder_;
    CQuelkXMLHandlerImpl handler_;
    RecordingSink report_;
    ql::ComPtr<IXMLDOMDocument2> document_;
    VARIANT_BOOL loaded_ = VARIANT_FALSE;
};

TEST_F(LoadXmlDocumentTest, ASchemaMissingFromTheCacheIsAddedFromTheFolderAndTheLoadRetriedSilently) {
    Fill(SchemasFolder().c_str(), kWithoutFunctionCall);
    const LONG before = CollectionLength();
    EXPECT_HR(S_OK, Load(kFunctionCall));
    EXPECT_EQ(VARIANT_TRUE, loaded_);
    EXPECT_TRUE(document_);
    EXPECT_EQ(std::vector<std::string>{}, report_.messages);
    EXPECT_EQ(before + 1, CollectionLength());
    EXPECT_EQ(L"x-schema:DTMFunctionCallSchema.xml", Namespaces(handler_.SchemaCollection()).back());

    // Once added, the schema serves the next load at once.
    EXPECT_HR(S_OK, Load(kBareFunctionCall));
    EXPECT_EQ(VARIANT_TRUE, loaded_);
    EXPECT_EQ(before + 1, CollectionLength());
}

TEST_F(LoadXmlDocumentTest, AnInvalidDocumentAnswersSOkWithTheFlagFalseAndReportsWhere) {
    Fill(SchemasFolder().c_str(), BuiltInSchemaList);
    const LONG before = CollectionLength();
    struct Case {
        const char* name;
        const wchar_t* text;
        const char* line;
    } const cases[] = {
        {"element the schema does not allow", kInvalidFunctionCall, "4"},
        {"not well-formed", kMalformed, "4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        report_.messages.clear();
        document_.Reset();
        EXPECT_HR(S_OK, Load(c.text));
        EXPECT_EQ(VARIANT_FALSE, loaded_);
        EXPECT_FALSE(document_);
        ASSERT_EQ(1u, report_.messages.size());
        std::smatch parts;
        ASSERT_TRUE(std::regex_match(report_.messages[0], parts, kParseErrorMessage)) << report_.messages[0];
        EXPECT_NE("00000000", parts[1].str());
        EXPECT_NE("800c0006", parts[1].str());
        EXPECT_EQ(c.line, parts[2].str());
        EXPECT_NE("0", parts[3].str());
        EXPECT_FALSE(parts[4].str().empty());
        // Nothing is added for a parse error of another kind.
        EXPECT_EQ(before, CollectionLength());
    }
}

}  // namespace
}  // namespace xmltest
