// Registration: the build registered the server under the two version-independent class ids, and
// DllRegisterServer/DllUnregisterServer take over and give back the entries of the server they replace.
#include <cwctype>

#include "MsxmlTestSupport.h"
#include "classlib/RegKey.h"
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

// HKEY_CLASSES_ROOT redirected to a scratch key for the lifetime of the object, so the server's
// registration runs against a registry of the test's making.
class ScopedClassesRoot {
public:
    ScopedClassesRoot() : scratch_(owned_.Create()) {
        redirected_ =
            scratch_.Get() && ::RegOverridePredefKey(HKEY_CLASSES_ROOT, scratch_.Get()) == ERROR_SUCCESS;
    }
    ~ScopedClassesRoot() {
        if (redirected_) ::RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    }
    ScopedClassesRoot(const ScopedClassesRoot&) = delete;
    ScopedClassesRoot& operator=(const ScopedClassesRoot&) = delete;
    bool Redirected() const { return redirected_; }
    HKEY Key() const { return scratch_.Get(); }

private:
    ScopedRegistryKey owned_{HKEY_CURRENT_USER, L"Software\\VarnokTests\\MsxmlStandinClasses", 1};
    ql::RegKey scratch_;
    bool redirected_ = false;
};

void SetString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    ql::RegKey opened;
    ASSERT_EQ(S_OK, opened.Create(root, key.c_str()));
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegSetValueExW(opened.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))));
}

class ServerModule {
public:
    explicit ServerModule(const std::wstring& path) : module_(::LoadLibraryW(path.c_str())) {}
    ~ServerModule() {
        if (module_) ::FreeLibrary(module_);
    }
    ServerModule(const ServerModule&) = delete;
    ServerModule& operator=(const ServerModule&) = delete;
    HRESULT Call(const char* entry) const {
        using EntryFn = HRESULT(STDAPICALLTYPE*)();
        if (!module_) return E_UNEXPECTED;
        auto fn = reinterpret_cast<EntryFn>(reinterpret_cast<void*>(::GetProcAddress(module_, entry)));
        return fn ? fn() : E_UNEXPECTED;
    }

private:
    HMODULE module_;
};

TEST(RegistrationTest, RegisterTakesOverAndUnregisterGivesBack) {
    const std::wstring server = RegistryString(HKEY_CLASSES_ROOT, ClassKey(CLSID_DOMDocument2), nullptr);
    ServerModule module(server);
    const std::wstring documentKey = ClassKey(CLSID_DOMDocument2);
    const std::wstring cacheKey = ClassKey(CLSID_XMLSchemaCache);
    const std::wstring wineServer = L"C:\\windows\\system32\\msxml3.dll";

    ScopedClassesRoot classes;
    if (!classes.Redirected()) GTEST_SKIP() << "RegOverridePredefKey is not available: nothing is redirected";
    // The document class is Wine's before; the schema cache class is not registered at all.
    SetString(classes.Key(), documentKey, nullptr, wineServer);
    SetString(classes.Key(), documentKey, L"ThreadingModel", L"Apartment");

    ASSERT_EQ(Hr{S_OK}, Hr{module.Call("DllRegisterServer")});
    EXPECT_EQ(Lower(server), Lower(RegistryString(HKEY_CLASSES_ROOT, documentKey, nullptr)));
    EXPECT_EQ(L"Both", RegistryString(HKEY_CLASSES_ROOT, documentKey, L"ThreadingModel"));
    EXPECT_EQ(Lower(server), Lower(RegistryString(HKEY_CLASSES_ROOT, cacheKey, nullptr)));
    // Registering twice keeps what the first registration replaced.
    ASSERT_EQ(Hr{S_OK}, Hr{module.Call("DllRegisterServer")});

    ASSERT_EQ(Hr{S_OK}, Hr{module.Call("DllUnregisterServer")});
    EXPECT_EQ(wineServer, RegistryString(HKEY_CLASSES_ROOT, documentKey, nullptr));
    EXPECT_EQ(L"Apartment", RegistryString(HKEY_CLASSES_ROOT, documentKey, L"ThreadingModel"));
    EXPECT_EQ(L"<missing>", RegistryString(HKEY_CLASSES_ROOT, documentKey, L"VarnokReplacedServer"));
    ql::RegKey gone;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
              gone.Open(HKEY_CLASSES_ROOT, cacheKey.substr(0, cacheKey.rfind(L'\\')).c_str()));
}

}  // namespace
}  // namespace msxmltest
