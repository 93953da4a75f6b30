// Registry scripts through the system's registrar: a round trip on a scratch HKCU key.
#include <gtest/gtest.h>

#include <string>

#include "classlib/ComApartment.h"
#include "classlib/ComModule.h"
#include "classlib/RegKey.h"
#include "classlib/Registrar.h"

namespace {

constexpr wchar_t kScratchKey[] = L"Software\\VarnokP3ClasslibTest";
constexpr wchar_t kResourceScriptKey[] = L"Software\\VarnokP3ClasslibResourceTest";
constexpr UINT kTestScriptResource = 201;  // ClasslibTest.rgs in ClasslibTest.rc

constexpr wchar_t kScript[] =
    L"HKCU\r\n"
    L"{\r\n"
    L"\tNoRemove Software\r\n"
    L"\t{\r\n"
    L"\t\tForceRemove VarnokP3ClasslibTest = s 'Test Class'\r\n"
    L"\t\t{\r\n"
    L"\t\t\tInprocServer32 = s '%MODULE%'\r\n"
    L"\t\t\t{\r\n"
    L"\t\t\t\tval ThreadingModel = s 'Apartment'\r\n"
    L"\t\t\t}\r\n"
    L"\t\t\tval Bitmap = s '%MODULE%, 102'\r\n"
    L"\t\t}\r\n"
    L"\t}\r\n"
    L"}\r\n";

class RegistrarTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(apartment_.Status())); }
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey);
        ::RegDeleteKeyW(HKEY_CURRENT_USER, kScratchKey);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kResourceScriptKey);
        ::RegDeleteKeyW(HKEY_CURRENT_USER, kResourceScriptKey);
    }
    static std::wstring ReadString(const wchar_t* path, const wchar_t* name) {
        ql::RegKey key;
        std::wstring value;
        if (FAILED(key.Open(HKEY_CURRENT_USER, path)) || FAILED(key.QueryString(name, value)))
            return L"<missing>";
        return value;
    }
    static bool Exists(const wchar_t* path) {
        ql::RegKey key;
        return SUCCEEDED(key.Open(HKEY_CURRENT_USER, path));
    }

    ql::ComApartment apartment_;
};

TEST_F(RegistrarTest, ScriptRegistersWithModuleReplacedAndUnregistersAgain) {
    struct Case {
        const char* name;
        const wchar_t* modulePath;
    };
    const Case cases[] = {
        {"plain path", L"C:\\Program Files\\VarnokP3\\VarnokP3.dll"},
        // A quote would end the script's text early without the doubling done for %MODULE%.
        {"path with a quote", L"C:\\Users\\O'Brien\\VarnokP3.dll"},
    };
    const std::wstring server = std::wstring(kScratchKey) + L"\\InprocServer32";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(S_OK, ql::RunRegistryScriptText(c.modulePath, kScript, true));
        EXPECT_EQ(L"Test Class", ReadString(kScratchKey, nullptr));
        EXPECT_EQ(c.modulePath, ReadString(server.c_str(), nullptr));
        EXPECT_EQ(L"Apartment", ReadString(server.c_str(), L"ThreadingModel"));
        EXPECT_EQ(std::wstring(c.modulePath) + L", 102", ReadString(kScratchKey, L"Bitmap"));

        EXPECT_EQ(S_OK, ql::RunRegistryScriptText(c.modulePath, kScript, false));
        EXPECT_FALSE(Exists(kScratchKey));
        EXPECT_TRUE(Exists(L"Software")) << "NoRemove keys stay";
    }
}

TEST_F(RegistrarTest, ModuleRunsItsOwnScriptResource) {
    ql::ComModule& module = ql::ComModule::Instance();
    ASSERT_EQ(S_OK, module.UpdateRegistryFromResource(kTestScriptResource, true));
    EXPECT_EQ(L"from a resource", ReadString(kResourceScriptKey, nullptr));
    EXPECT_EQ(module.ModulePath(), ReadString(kResourceScriptKey, L"Module"));
    EXPECT_EQ(S_OK, module.UpdateRegistryFromResource(kTestScriptResource, false));
    EXPECT_FALSE(Exists(kResourceScriptKey));
    EXPECT_TRUE(FAILED(module.UpdateRegistryFromResource(kTestScriptResource + 1, true)))
        << "no such resource";
}

TEST_F(RegistrarTest, NullScriptIsRefused) {
    EXPECT_EQ(E_INVALIDARG, ql::RunRegistryScriptText(L"C:\\x.dll", nullptr, true));
}

}  // namespace
