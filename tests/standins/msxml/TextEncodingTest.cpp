// load() of bytes: byte order marks, encoding declarations and bad encodings.
#include "TestSupport.h"

#include "TextEncoding.h"

#include <gtest/gtest.h>

namespace msxml_core::test {
namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    bool ok;
    const char* rootText;  // text of the document element when ok
    ErrorCode code;        // when not ok
};

std::string Utf16(const std::string& ascii, bool bigEndian, bool bom) {
    std::string out;
    if (bom) out += bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) {
        if (bigEndian) out.push_back('\0');
        out.push_back(c);
        if (!bigEndian) out.push_back('\0');
    }
    return out;
}

const DecodeCase kCases[] = {
    {"UTF-8 with BOM", "\xEF\xBB\xBF<a>\xC3\xA4</a>", true, "\xC3\xA4", 0},
    {"UTF-16LE with BOM", Utf16("<a>x</a>", false, true), true, "x", 0},
    {"UTF-16LE without BOM but with declaration",
     Utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>x</a>", false, false), true, "x", 0},
    {"ISO-8859-1 declared", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE4\x80</a>", true,
     "\xC3\xA4\xC2\x80", 0},
    {"windows-1252 declared", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\x80\x9F</a>", true,
     "\xE2\x82\xAC\xC5\xB8", 0},
    {"invalid UTF-8", "<a>\xC3(</a>", false, "", codes::kBadCharData},
    {"unknown encoding", "<?xml version=\"1.0\" encoding=\"ebcdic-xyz\"?><a/>", false, "",
     codes::kInvalidEncoding},
    {"lone surrogate in UTF-16",
     Utf16("<a>", false, true) + std::string("\x00\xD8", 2) + Utf16("</a>", false, false), false, "",
     codes::kBadCharData},
};

TEST(TextEncodingTest, DecodesDocumentBytes) {
    for (const DecodeCase& testCase : kCases) {
        SCOPED_TRACE(testCase.name);
        Document document;
        bool loaded = document.LoadBytes(reinterpret_cast<const uint8_t*>(testCase.bytes.data()),
                                         testCase.bytes.size(), u"C:\\doc.xml");
        ASSERT_EQ(loaded, testCase.ok) << Describe(document.LastError());
        if (testCase.ok) {
            EXPECT_EQ(A(document.DocumentNode().DocumentElement()->Text()), testCase.rootText);
        } else {
            EXPECT_EQ(Hex(document.LastError().errorCode), Hex(testCase.code));
            EXPECT_EQ(A(document.LastError().url), "C:\\doc.xml");
            EXPECT_EQ(document.DocumentNode().FirstChild(), nullptr);
        }
    }
}

}  // namespace
}  // namespace msxml_core::test
