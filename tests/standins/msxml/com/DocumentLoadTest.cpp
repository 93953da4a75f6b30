// Loading and writing documents: defaults, loadXML/xml round trips, files in their encodings, save.
#include "MsxmlTestSupport.h"
#include "classlib/Utf8.h"

namespace msxmltest {
namespace {

class DocumentLoadTest : public MsxmlTest {};

TEST_F(DocumentLoadTest, NewDocumentHasMsxml3Defaults) {
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    ASSERT_TRUE(document);
    VARIANT_BOOL flag = VARIANT_FALSE;
    EXPECT_EQ(S_OK, document->get_validateOnParse(&flag));
    EXPECT_EQ(VARIANT_TRUE, flag);
    EXPECT_EQ(S_OK, document->get_resolveExternals(&flag));
    EXPECT_EQ(VARIANT_TRUE, flag);
    EXPECT_EQ(S_OK, document->get_async(&flag));
    EXPECT_EQ(VARIANT_TRUE, flag);
    EXPECT_EQ(S_OK, document->get_preserveWhiteSpace(&flag));
    EXPECT_EQ(VARIANT_FALSE, flag);
    LONG state = 0;
    EXPECT_EQ(S_OK, document->get_readyState(&state));
    EXPECT_EQ(4, state);
    ql::Variant language;
    ql::Bstr name(L"SelectionLanguage");
    EXPECT_EQ(S_OK, document->getProperty(name.Get(), language.Put()));
    ASSERT_EQ(VT_BSTR, language.Type());
    EXPECT_EQ(L"XSLPattern", StringOf(V_BSTR(language.Get())));
    ql::ComPtr<IXMLDOMElement> root;
    EXPECT_EQ(Hr{S_FALSE}, Hr{document->get_documentElement(root.Put())});
    EXPECT_FALSE(root);
}

struct RoundTripCase {
    const char* name;
    const wchar_t* text;
    const wchar_t* xml;  // the xml property after loadXML
};

const RoundTripCase kRoundTrips[] = {
    {"empty element", L"<a/>", L"<a/>\r\n"},
    {"declaration loses its encoding", L"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a></a>",
     L"<?xml version=\"1.0\"?>\r\n<a/>\r\n"},
    {"markup kinds", L"<r x=\"1 &amp; 2\"><b>t&lt;u</b><![CDATA[<c>]]><!--k--><?p d?></r>",
     L"<r x=\"1 &amp; 2\"><b>t&lt;u</b><![CDATA[<c>]]><!--k--><?p d?></r>\r\n"},
    {"character and entity references", L"<r a='&quot;&apos;'>&#65;&#x42;&gt;</r>",
     L"<r a=\"&quot;'\">AB&gt;</r>\r\n"},
    {"white space between elements dropped", L"<r>\n  <a/>\n  <b>x</b>\n</r>", L"<r><a/><b>x</b></r>\r\n"},
    {"namespaces kept as written", L"<p:r xmlns:p=\"urn:a\" xmlns=\"urn:b\"><c p:x=\"1\"/></p:r>",
     L"<p:r xmlns:p=\"urn:a\" xmlns=\"urn:b\"><c p:x=\"1\"/></p:r>\r\n"},
};

TEST_F(DocumentLoadTest, LoadXmlAndXmlRoundTrip) {
    for (const RoundTripCase& c : kRoundTrips) {
        SCOPED_TRACE(c.name);
        ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
        ASSERT_TRUE(document);
        VARIANT_BOOL loaded = VARIANT_FALSE;
        EXPECT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), c.text, &loaded)});
        EXPECT_EQ(VARIANT_TRUE, loaded);
        EXPECT_EQ(c.xml, XmlOf(document.Get()));
        // What the document wrote loads again to the same text.
        ql::ComPtr<IXMLDOMDocument2> again = NewDocument();
        EXPECT_EQ(Hr{S_OK}, Hr{LoadXml(again.Get(), XmlOf(document.Get()), &loaded)});
        EXPECT_EQ(c.xml, XmlOf(again.Get()));
    }
}

TEST_F(DocumentLoadTest, FailedLoadXmlAnswersSFalseAndLeavesTheDocumentEmpty) {
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    ASSERT_TRUE(document);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), L"<kept><child/></kept>", &loaded)});
    loaded = VARIANT_TRUE;
    EXPECT_EQ(Hr{S_FALSE}, Hr{LoadXml(document.Get(), L"<a><b></a>", &loaded)});
    EXPECT_EQ(VARIANT_FALSE, loaded);
    ql::ComPtr<IXMLDOMElement> root;
    EXPECT_EQ(Hr{S_FALSE}, Hr{document->get_documentElement(root.Put())});
    EXPECT_EQ(L"", XmlOf(document.Get()));
    ql::ComPtr<IXMLDOMNode> first;
    EXPECT_EQ(Hr{S_FALSE}, Hr{document->get_firstChild(first.Put())});
}

struct EncodedFileCase {
    const char* name;
    std::string bytes;
    const wchar_t* rootText;
};

TEST_F(DocumentLoadTest, LoadReadsFilesInTheirEncoding) {
    const EncodedFileCase cases[] = {
        {"UTF-8 without declaration", "<r>caf\xC3\xA9</r>", L"caf\u00E9"},
        {"UTF-8 byte order mark", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>\xE2\x82\xAC</r>",
         L"\u20AC"},
        {"UTF-16LE byte order mark", std::string("\xFF\xFE<\0r\0>\0\xAC\x20<\0/\0r\0>\0", 18), L"\u20AC"},
        {"UTF-16BE byte order mark", std::string("\xFE\xFF\0<\0r\0>\x20\xAC\0<\0/\0r\0>", 18), L"\u20AC"},
        {"ISO-8859-1 declaration", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>caf\xE9</r>",
         L"caf\u00E9"},
        {"windows-1252 declaration", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><r>\x80</r>",
         L"\u20AC"},
    };
    TempFolder folder;
    for (const EncodedFileCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = folder.Write(L"encoded.xml", c.bytes);
        ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
        ASSERT_TRUE(document);
        VARIANT_BOOL loaded = VARIANT_FALSE;
        EXPECT_EQ(Hr{S_OK}, Hr{LoadFile(document.Get(), path, &loaded)});
        ql::ComPtr<IXMLDOMElement> root;
        ASSERT_EQ(Hr{S_OK}, Hr{document->get_documentElement(root.Put())});
        EXPECT_EQ(c.rootText, TextOf(root.Get()));
        ql::Bstr url;
        EXPECT_EQ(S_OK, document->get_url(url.Put()));
        EXPECT_EQ(path, StringOf(url.Get()));
    }
}

TEST_F(DocumentLoadTest, MissingFileFailsWithObjectNotFound) {
    TempFolder folder;
    const std::wstring path = folder.Path() + L"\\absent.xml";
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    ASSERT_TRUE(document);
    VARIANT_BOOL loaded = VARIANT_TRUE;
    EXPECT_EQ(Hr{S_FALSE}, Hr{LoadFile(document.Get(), path, &loaded)});
    EXPECT_EQ(VARIANT_FALSE, loaded);
    const ParseErrorFields error = ParseErrorOf(document.Get());
    EXPECT_EQ(Hr{kObjectNotFound}, Hr{error.errorCode});
    EXPECT_EQ(path, error.url);
    EXPECT_NE(std::wstring::npos, error.reason.find(L"'" + path + L"'")) << ql::Utf8FromWide(error.reason);
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
    struct {
        const char* name;
        const char* text;
        HRESULT expected;
    } cases[] = {
        {"valid", "<r xmlns=\"x-schema:Local.xml\" n=\"7\"/>", S_OK},
        {"value outside ui1", "<r xmlns=\"x-schema:Local.xml\" n=\"700\"/>", S_FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = folder.Write(L"doc.xml", c.text);
        ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
        ASSERT_TRUE(document);
        VARIANT_BOOL loaded = VARIANT_FALSE;
        EXPECT_EQ(Hr{c.expected}, Hr{LoadFile(document.Get(), path, &loaded)});
    }
}

TEST_F(DocumentLoadTest, SaveWritesTheDeclaredEncodingAndLoadsBack) {
    TempFolder folder;
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    ASSERT_TRUE(document);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(
        Hr{S_OK},
        Hr{LoadXml(document.Get(),
                   L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r a=\"\u00E9\">x&amp;y</r>", &loaded)});
    const std::wstring path = folder.Path() + L"\\saved.xml";
    ql::Variant destination;
    ASSERT_EQ(S_OK, destination.SetBstr(path.c_str()));
    EXPECT_EQ(Hr{S_OK}, Hr{document->save(*destination.Get())});
    const std::string bytes = folder.Read(L"saved.xml");
    EXPECT_NE(std::string::npos, bytes.find("encoding=\"ISO-8859-1\"")) << bytes;
    EXPECT_NE(std::string::npos, bytes.find("a=\"\xE9\"")) << bytes;

    ql::ComPtr<IXMLDOMDocument2> reloaded = NewDocument();
    EXPECT_EQ(Hr{S_OK}, Hr{LoadFile(reloaded.Get(), path, &loaded)});
    EXPECT_EQ(XmlOf(document.Get()), XmlOf(reloaded.Get()));
}

}  // namespace
}  // namespace msxmltest
