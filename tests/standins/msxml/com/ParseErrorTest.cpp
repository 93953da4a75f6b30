// parseError after loadXML: the fields MSXML fills, for a table of malformed texts.
#include "MsxmlTestSupport.h"
#include "classlib/Utf8.h"

namespace msxmltest {
namespace {

class ParseErrorTest : public MsxmlTest {};

struct MalformedCase {
    const char* name;
    const wchar_t* text;
    HRESULT code;
    LONG line;
    LONG linepos;
    LONG filepos;
    const wchar_t* srcText;
};

const MalformedCase kMalformed[] = {
    {"end tag does not match", L"<a><b></a>", static_cast<HRESULT>(0xC00CE56D), 1, 9, 8, L"<a><b></a>"},
    {"unquoted attribute on line 2", L"<r>\r\n<x y=1/></r>", static_cast<HRESULT>(0xC00CE502), 2, 6, 10,
     L"<x y=1/></r>"},
    {"undefined entity", L"<r>&bogus;</r>", static_cast<HRESULT>(0xC00CE57C), 1, 4, 3, L"<r>&bogus;</r>"},
    {"second document element", L"<r/>\n<s/>", static_cast<HRESULT>(0xC00CE555), 2, 1, 5, L"<s/>"},
    {"DOCTYPE refused", L"<!DOCTYPE r><r/>", static_cast<HRESULT>(0xC00CE590), 1, 1, 0, L"<!DOCTYPE r><r/>"},
};

TEST_F(ParseErrorTest, MalformedTextsGiveCodeAndPlace) {
    for (const MalformedCase& c : kMalformed) {
        SCOPED_TRACE(c.name);
        ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
        ASSERT_TRUE(document);
        VARIANT_BOOL loaded = VARIANT_TRUE;
        EXPECT_EQ(Hr{S_FALSE}, Hr{LoadXml(document.Get(), c.text, &loaded)});
        EXPECT_EQ(VARIANT_FALSE, loaded);
        const ParseErrorFields error = ParseErrorOf(document.Get());
        EXPECT_EQ(Hr{c.code}, Hr{error.errorCode});
        EXPECT_EQ(c.line, error.line);
        EXPECT_EQ(c.linepos, error.linepos);
        EXPECT_EQ(c.filepos, error.filepos);
        EXPECT_EQ(c.srcText, error.srcText);
        ASSERT_FALSE(error.reason.empty());
        EXPECT_EQ(L'\n', error.reason.back()) << ql::Utf8FromWide(error.reason);
        EXPECT_EQ(L"", error.url);  // loadXML has no location
    }
}

TEST_F(ParseErrorTest, SuccessfulLoadLeavesNoError) {
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    ASSERT_TRUE(document);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(Hr{S_FALSE}, Hr{LoadXml(document.Get(), L"<a>", &loaded)});
    ASSERT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), L"<a/>", &loaded)});
    ql::ComPtr<IXMLDOMParseError> error;
    ASSERT_EQ(S_OK, document->get_parseError(error.Put()));
    LONG code = -1;
    EXPECT_EQ(Hr{S_FALSE}, Hr{error->get_errorCode(&code)});
    EXPECT_EQ(0, code);
    ql::Bstr reason;
    EXPECT_EQ(Hr{S_FALSE}, Hr{error->get_reason(reason.Put())});
    EXPECT_TRUE(reason.IsNull());
}

}  // namespace
}  // namespace msxmltest
