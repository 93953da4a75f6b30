// Registry scripts through the system's registrar: a round trip on scratch HKCU keys.
#include <gtest/gtest.h>

#include <string>

#include "classlib/ComModule.h"
#include "classlib/Registrar.h"
#include "tests/support/ComTest.h"
#include "tests/support/TestRegistry.h"

namespace {

using vtest::RegistryString;

constexpr wchar_t kScratchKey[] = L"Software\\VarnokP3ClasslibTest";
constexpr wchar_t kResourceScriptKey[] = L"Software\\VarnokP3ClasslibResourceTest";
constexpr UINT kTestScriptResource = 201;  // ClasslibTest.rgs in ClasslibTest.rc

constexpr wchar_t kScript[] =
    L"HKCU\r\n{\r\n\tNoRemove Software\r\n\t{\r\n"
    L"\t\tForceRemove VarnokP3ClasslibTest = s 'Test Class'\r\n\t\t{\r\n"
    L"\t\t\tInprocServer32 = s '%MODULE%'\r\n\t\t\t{\r\n\t\t\t\tval ThreadingModel = s "
    L"'Apartment'\r\n\t\t\t}\r\n"
    L"\t\t\tval Bitmap = s '%MODULE%, 102'\r\n\t\t}\r\n\t}\r\n}\r\n";

class RegistrarTest : public vtest::ComTest {
protected:
    vtest::ScopedRegistryKey scratch_{HKEY_CURRENT_USER, kScratchKey};
    vtest::ScopedRegistryKey resourceScript_{HKEY_CURRENT_USER, kResourceScriptKey};
};

TEST_F(RegistrarTest, ScriptRegistersWithModuleReplacedAndUnregistersAgain) {
    // A quote would end the script's text early without the doubling done for %MODULE%.
    const wchar_t* const modulePaths[] = {L"C:\\Program Files\\VarnokP3\\VarnokP3.dll",
                                          L"C:\\Users\\O'Brien\\VarnokP3.dll"};
    const std::wstring server = std::wstring(kScratchKey) + L"\\InprocServer32";
    for (const wchar_t* modulePath : modulePaths) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(modulePath)));
        ASSERT_HR(S_OK, ql::RunRegistryScriptText(modulePath, kScript, true));
        EXPECT_EQ(L"Test Class", RegistryString(HKEY_CURRENT_USER, kScratchKey));
        EXPECT_EQ(modulePath, RegistryString(HKEY_CURRENT_USER, server));
        EXPECT_EQ(L"Apartment", RegistryString(HKEY_CURRENT_USER, server, L"ThreadingModel"));
        EXPECT_EQ(std::wstring(modulePath) + L", 102",
                  RegistryString(HKEY_CURRENT_USER, kScratchKey, L"Bitmap"));
        EXPECT_HR(S_OK, ql::RunRegistryScriptText(modulePath, kScript, false));
        EXPECT_FALSE(scratch_.Exists());
        EXPECT_TRUE(vtest::RegistryKeyExists(HKEY_CURRENT_USER, L"Software")) << "NoRemove keys stay";
    }
    EXPECT_HR(E_INVALIDARG, ql::RunRegistryScriptText(L"C:\\x.dll", nullptr, true));
}

}  // namespace
