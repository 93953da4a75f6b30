// Registration: the build registered the server under the two version-independent class ids.
#include <cwctype>

#include "MsxmlTestSupport.h"
#include "tests/support/TestRegistry.h"
#include "classlib/Utf8.h"

extern "C" const CLSID CLSID_DOMDocument30;

namespace msxmltest {
namespace {

std::wstring ClassKey(const CLSID& clsid) {
    wchar_t text[40] = {};
    ::StringFromGUID2(clsid, text, 40);
    return std::wstring(L"CLSID\\") + text + L"\\InprocServer32";
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && Lower(text.substr(text.size() - tail.size())) == Lower(tail);
}

TEST(RegistrationTest, BuildRegisteredTheServerUnderBothClassIds) {
    for (const CLSID* clsid : {&CLSID_DOMDocument2, &CLSID_XMLSchemaCache}) {
        const std::wstring key = ClassKey(*clsid);
        SCOPED_TRACE(ql::Utf8FromWide(key));
        const std::wstring server = RegistryString(HKEY_CLASSES_ROOT, key, nullptr);
        EXPECT_TRUE(EndsWith(server, L"\\msxml_standin.dll")) << ql::Utf8FromWide(server);
        EXPECT_EQ(L"Both", RegistryString(HKEY_CLASSES_ROOT, key, L"ThreadingModel"));
    }
    // Wine's own msxml3 keeps its versioned class ids.
    const std::wstring versioned = RegistryString(HKEY_CLASSES_ROOT, ClassKey(CLSID_DOMDocument30), nullptr);
    EXPECT_TRUE(EndsWith(versioned, L"msxml3.dll")) << ql::Utf8FromWide(versioned);
}

TEST(RegistrationTest, ProgIdsLeadToTheVersionIndependentClassIds) {
    CLSID clsid = {};
    EXPECT_EQ(S_OK, ::CLSIDFromProgID(L"Msxml2.DOMDocument", &clsid));
    EXPECT_TRUE(IsEqualCLSID(CLSID_DOMDocument2, clsid));
    EXPECT_EQ(S_OK, ::CLSIDFromProgID(L"Msxml2.XMLSchemaCache", &clsid));
    EXPECT_TRUE(IsEqualCLSID(CLSID_XMLSchemaCache, clsid));
}

}  // namespace
}  // namespace msxmltest
