// parseError after loadXML: the fields MSXML fills, for malformed texts. (The codes and places of the whole
// table of malformed inputs are the core's, tested natively.)
#include "MsxmlTestSupport.h"
#include "classlib/Utf8.h"

namespace msxmltest {
namespace {

using ParseErrorTest = MsxmlTest;

TEST_F(ParseErrorTest, MalformedTextsGiveCodeAndPlace) {
    const struct {
        const wchar_t* text;
        HRESULT code;
        LONG line, linepos, filepos;
        const wchar_t* srcText;
    } cases[] = {
        {L"<a><b></a>", static_cast<HRESULT>(0xC00CE56D), 1, 9, 8, L"<a><b></a>"},
        {L"<r>\r\n<x y=1/></r>", static_cast<HRESULT>(0xC00CE502), 2, 6, 10, L"<x y=1/></r>"},
        {L"<!DOCTYPE r><r/>", static_cast<HRESULT>(0xC00CE590), 1, 1, 0, L"<!DOCTYPE r><r/>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ql::Utf8FromWide(c.text));
        ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
        VARIANT_BOOL loaded = VARIANT_TRUE;
        EXPECT_HR(S_FALSE, LoadXml(document.Get(), c.text, &loaded));
        EXPECT_EQ(VARIANT_FALSE, loaded);
        const ParseErrorFields error = ParseErrorOf(document.Get());
        EXPECT_HR(c.code, error.errorCode);
        EXPECT_EQ((std::vector<LONG>{c.line, c.linepos, c.filepos}),
                  (std::vector<LONG>{error.line, error.linepos, error.filepos}));
        EXPECT_EQ(c.srcText, error.srcText);
        ASSERT_FALSE(error.reason.empty());
        EXPECT_EQ(L'\n', error.reason.back()) << ql::Utf8FromWide(error.reason);
        EXPECT_EQ(L"", error.url);  // loadXML has no location
    }
}

}  // namespace
}  // namespace msxmltest
