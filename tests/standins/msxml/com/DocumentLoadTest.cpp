// Loading and writing documents through COM: defaults, loadXML and the xml property, files in their
// encodings, save. (Parsing itself is the core's, tested natively.)
#include "MsxmlTestSupport.h"
#include "classlib/Utf8.h"

namespace msxmltest {
namespace {

using DocumentLoadTest = MsxmlTest;

TEST_F(DocumentLoadTest, NewDocumentHasMsxml3Defaults) {
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    ASSERT_TRUE(document);
    VARIANT_BOOL validate = VARIANT_FALSE, resolve = VARIANT_FALSE, async = VARIANT_FALSE,
                 blanks = VARIANT_TRUE;
    EXPECT_HR(S_OK, document->get_validateOnParse(&validate));
    EXPECT_HR(S_OK, document->get_resolveExternals(&resolve));
    EXPECT_HR(S_OK, document->get_async(&async));
    EXPECT_HR(S_OK, document->get_preserveWhiteSpace(&blanks));
    EXPECT_EQ((std::vector<VARIANT_BOOL>{VARIANT_TRUE, VARIANT_TRUE, VARIANT_TRUE, VARIANT_FALSE}),
              (std::vector<VARIANT_BOOL>{validate, resolve, async, blanks}));
    LONG state = 0;
    EXPECT_HR(S_OK, document->get_readyState(&state));
    EXPECT_EQ(4, state);
    ql::Variant language;
    EXPECT_HR(S_OK, document->getProperty(ql::Bstr(L"SelectionLanguage").Get(), language.Put()));
    EXPECT_EQ("bstr:'XSLPattern'", Describe(*language));
    ql::ComPtr<IXMLDOMElement> root;
    EXPECT_HR(S_FALSE, document->get_documentElement(root.Put()));
    EXPECT_FALSE(root);
}

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

TEST_F(DocumentLoadTest, LoadFindsXSchemaFilesBesideTheDocument) {
    TempFolder folder;
    folder.Write(
        L"Local.xml",
        "<Schema xmlns=\"urn:schemas-microsoft-com:xml-data\" "
        "xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"
        "<AttributeType name=\"n\" dt:type=\"ui1\"/>"
        "<ElementType name=\"r\" content=\"empty\" model=\"closed\"><attribute type=\"n\"/></ElementType>"
        "</Schema>");
    for (auto [value, expected] : {std::pair{"7", S_OK}, std::pair{"700", S_FALSE}}) {
        const std::wstring path =
            folder.Write(L"doc.xml", std::string("<r xmlns=\"x-schema:Local.xml\" n=\"") + value + "\"/>");
        VARIANT_BOOL loaded = VARIANT_FALSE;
        EXPECT_HR(expected, LoadFile(NewDocument().Get(), path, &loaded)) << value;
    }
}

TEST_F(DocumentLoadTest, SaveWritesTheDeclaredEncodingAndLoadsBack) {
    TempFolder folder;
    ql::ComPtr<IXMLDOMDocument2> document =
        Loaded(L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r a=\"\u00E9\">x&amp;y</r>");
    ASSERT_TRUE(document);
    const std::wstring path = folder.File(L"saved.xml");
    EXPECT_HR(S_OK, document->save(*MakeBstr(path.c_str())));
    const std::string bytes = folder.Read(L"saved.xml");
    EXPECT_NE(std::string::npos, bytes.find("encoding=\"ISO-8859-1\"")) << bytes;
    EXPECT_NE(std::string::npos, bytes.find("a=\"\xE9\"")) << bytes;
    ql::ComPtr<IXMLDOMDocument2> reloaded = NewDocument();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    EXPECT_HR(S_OK, LoadFile(reloaded.Get(), path, &loaded));
    EXPECT_EQ(XmlOf(document.Get()), XmlOf(reloaded.Get()));
}

}  // namespace
}  // namespace msxmltest
