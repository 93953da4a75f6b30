// Loading and writing documents through COM: defaults, loadXML and the xml property, files in their
// encodings, save. (Parsing itself is the core's, tested natively.)
#include "MsxmlTestSupport.h"
#include "classlib/Utf8.h"

namespace msxmltest {
namespace {

using DocumentLoadTest = MsxmlTest;

TEST_F(DocumentLoadTest, LoadXmlAndXmlRoundTrip) {
    const struct {
        const wchar_t* text;
        const wchar_t* xml;  // the xml property after loadXML
    } cases[] = {
        {L"<?xml version=\"1.0\" encoding=\"UTF-8\"?><r x=\"1 &amp; 2\">\n  "
         L"<b>t&lt;u</b><![CDATA[<c>]]><!--k--></r>",
         L"<?xml version=\"1.0\"?>\r\n<r x=\"1 &amp; 2\"><b>t&lt;u</b><![CDATA[<c>]]><!--k--></r>\r\n"},
        {L"<p:r xmlns:p=\"urn:a\" xmlns=\"urn:b\"><c p:x='\u00e4'/></p:r>",
         L"<p:r xmlns:p=\"urn:a\" xmlns=\"urn:b\"><c p:x=\"\u00e4\"/></p:r>\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ql::Utf8FromWide(c.text));
        ql::ComPtr<IXMLDOMDocument2> document = Loaded(c.text);
        ASSERT_TRUE(document);
        EXPECT_EQ(c.xml, XmlOf(document.Get()));
        // What the document wrote loads again to the same text.
        EXPECT_EQ(c.xml, XmlOf(Loaded(XmlOf(document.Get())).Get()));
    }
}

TEST_F(DocumentLoadTest, FailedLoadXmlAnswersSFalseAndLeavesTheDocumentEmpty) {
    ql::ComPtr<IXMLDOMDocument2> document = Loaded(L"<kept><child/></kept>");
    ASSERT_TRUE(document);
    VARIANT_BOOL loaded = VARIANT_TRUE;
    EXPECT_HR(S_FALSE, LoadXml(document.Get(), L"<a><b></a>", &loaded));
    EXPECT_EQ(VARIANT_FALSE, loaded);
    ql::ComPtr<IXMLDOMElement> root;
    EXPECT_HR(S_FALSE, document->get_documentElement(root.Put()));
    EXPECT_EQ(L"", XmlOf(document.Get()));
    ql::ComPtr<IXMLDOMNode> first;
    EXPECT_HR(S_FALSE, document->get_firstChild(first.Put()));
}

TEST_F(DocumentLoadTest, LoadReadsFilesInTheirEncodingAndNamesTheMissingOnes) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"UTF-16LE byte order mark", std::string("\xFF\xFE<\0r\0>\0\xAC\x20<\0/\0r\0>\0", 18)},
        {"windows-1252 declaration", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><r>\x80</r>"},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = folder.Write(L"encoded.xml", c.bytes);
        ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
        VARIANT_BOOL loaded = VARIANT_FALSE;
        EXPECT_HR(S_OK, LoadFile(document.Get(), path, &loaded));
        EXPECT_EQ(L"\u20AC", TextOf(SelectSingle(document.Get(), L"r").Get()));
        ql::Bstr url;
        EXPECT_HR(S_OK, document->get_url(url.Put()));
        EXPECT_EQ(path, url.View());
    }
    const std::wstring absent = folder.File(L"absent.xml");
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    VARIANT_BOOL loaded = VARIANT_TRUE;
    EXPECT_HR(S_FALSE, LoadFile(document.Get(), absent, &loaded));
    EXPECT_EQ(VARIANT_FALSE, loaded);
    const ParseErrorFields error = ParseErrorOf(document.Get());
    EXPECT_HR(kObjectNotFound, error.errorCode);
    EXPECT_EQ(absent, error.url);
    EXPECT_NE(std::wstring::npos, error.reason.find(L"'" + absent + L"'")) << ql::Utf8FromWide(error.reason);
}

}  // namespace
}  // namespace msxmltest
