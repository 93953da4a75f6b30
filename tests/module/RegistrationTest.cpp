// DllRegisterServer and DllUnregisterServer of the built DLL, checked in this build's Wine prefix.
// Every test leaves the DLL registered again, as the build left it.
#include <gtest/gtest.h>

#include <string>

#include "tests/module/ServerClasses.h"
#include "tests/module/ServerModule.h"
#include "tests/support/ComTest.h"
#include "tests/support/TestRegistry.h"

namespace {

using moduletest::ClassKind;
using moduletest::kLibidText;
using moduletest::kServerClasses;
using moduletest::ServerClass;

constexpr wchar_t kMissing[] = L"<missing>";

bool KeyExists(const std::wstring& path) { return vtest::RegistryKeyExists(HKEY_CLASSES_ROOT, path); }
std::wstring Value(const std::wstring& path, const wchar_t* name = nullptr) {
    return vtest::RegistryString(HKEY_CLASSES_ROOT, path, name);
}
std::wstring ClassKey(const ServerClass& c) { return std::wstring(L"CLSID\\") + c.clsidText; }
std::wstring ProgId(const ServerClass& c) { return std::wstring(L"VarnokP3.") + c.name; }
std::wstring TypeLibKey() {
    return std::wstring(L"TypeLib\\") + kLibidText +
           (sizeof(void*) == 8 ? L"\\1.0\\0\\win64" : L"\\1.0\\0\\win32");
}

class RegistrationTest : public vtest::ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_TRUE(server_.Loaded()) << "cannot load the server DLL";
        ASSERT_HR(S_OK, server_.registerServer());
    }
    void TearDown() override {
        if (server_.Loaded()) {
            EXPECT_HR(S_OK, server_.registerServer());
        }
    }

    moduletest::ServerModule server_;
};

TEST_F(RegistrationTest, EveryClassIsRegisteredInTheShapeOfItsKind) {
    EXPECT_EQ(L"VarnokP3.DtmObject.1", Value(L"VarnokP3.DtmObject\\CurVer"));
    for (const ServerClass& c : kServerClasses) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        const std::wstring progId = ProgId(c), key = ClassKey(c);
        EXPECT_EQ(c.description, Value(progId));
        EXPECT_EQ(c.clsidText, Value(progId + L"\\CLSID"));
        EXPECT_EQ(c.clsidText, Value(progId + L".1\\CLSID"));
        EXPECT_EQ(progId + L".1", Value(progId + L"\\CurVer"));
        EXPECT_EQ(c.description, Value(key));
        EXPECT_TRUE(KeyExists(key + L"\\Programmable"));
        EXPECT_EQ(server_.Path(), Value(key + L"\\InprocServer32"));
        EXPECT_EQ(L"Apartment", Value(key + L"\\InprocServer32", L"ThreadingModel"));

        const bool isPage = c.kind == ClassKind::PropertyPage, isControl = c.kind == ClassKind::Control;
        EXPECT_EQ(isPage ? kMissing : progId + L".1", Value(key + L"\\ProgID"));
        EXPECT_EQ(isPage ? kMissing : progId, Value(key + L"\\VersionIndependentProgID"));
        EXPECT_EQ(isPage ? kMissing : kLibidText, Value(key + L"\\TypeLib"));
        EXPECT_EQ(isControl, KeyExists(key + L"\\Control"));
        EXPECT_EQ(isControl, KeyExists(key + L"\\Insertable"));
        EXPECT_EQ(isControl ? server_.Path() + L", " + c.toolboxBitmap : kMissing,
                  Value(key + L"\\ToolboxBitmap32"));
        EXPECT_EQ(isControl ? L"0" : kMissing, Value(key + L"\\MiscStatus"));
        EXPECT_EQ(isControl ? L"131473" : kMissing, Value(key + L"\\MiscStatus\\1"));
        EXPECT_EQ(isControl ? L"1.0" : kMissing, Value(key + L"\\Version"));
        EXPECT_EQ(c.kind == ClassKind::Dtm, KeyExists(key + L"\\Implemented Categories"));
    }
}

TEST_F(RegistrationTest, DtmObjectImplementsTheThreeCategoriesAndTheTypeLibraryIsRegistered) {
    const std::wstring categories = ClassKey(kServerClasses[2]) + L"\\Implemented Categories\\";
    for (const wchar_t* catid :
         {L"{036D1490-387B-11D4-86E1-00E0987270B9}", L"{036D1491-387B-11D4-86E1-00E0987270B9}",
          L"{036D1499-387B-11D4-86E1-00E0987270B9}"}) {
        EXPECT_TRUE(KeyExists(categories + catid)) << testing::PrintToString(std::wstring(catid));
    }
#ifdef VARNOK_MODULE_TYPELIB
    EXPECT_EQ(server_.Path(), Value(TypeLibKey()));
#endif
}

TEST_F(RegistrationTest, UnregisterRemovesEverythingAndAnswersSOk) {
    ASSERT_HR(S_OK, server_.unregisterServer());
    for (const ServerClass& c : kServerClasses) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        EXPECT_FALSE(KeyExists(ClassKey(c)));
        EXPECT_FALSE(KeyExists(ProgId(c)));
        EXPECT_FALSE(KeyExists(ProgId(c) + L".1"));
    }
    EXPECT_FALSE(KeyExists(TypeLibKey()));
    EXPECT_HR(S_OK, server_.unregisterServer()) << "removing what is gone is no failure";
}

}  // namespace
