// DllRegisterServer and DllUnregisterServer of the built DLL, checked in this build's Wine prefix.
// Every test leaves the DLL registered again, as the build left it.
#include <gtest/gtest.h>

#include <string>

#include "classlib/ComApartment.h"
#include "classlib/RegKey.h"
#include "tests/module/ServerClasses.h"
#include "tests/module/ServerModule.h"

namespace {

using moduletest::ClassKind;
using moduletest::kLibidText;
using moduletest::kServerClasses;
using moduletest::ServerClass;

constexpr wchar_t kMissing[] = L"<missing>";

bool KeyExists(const std::wstring& path) {
    ql::RegKey key;
    return SUCCEEDED(key.Open(HKEY_CLASSES_ROOT, path.c_str()));
}

std::wstring Value(const std::wstring& path, const wchar_t* name = nullptr) {
    ql::RegKey key;
    std::wstring value;
    if (FAILED(key.Open(HKEY_CLASSES_ROOT, path.c_str())) || FAILED(key.QueryString(name, value)))
        return kMissing;
    return value;
}

std::wstring ClassKey(const ServerClass& c) { return std::wstring(L"CLSID\\") + c.clsidText; }
std::wstring ProgId(const ServerClass& c) { return std::wstring(L"VarnokP3.") + c.name; }
std::wstring TypeLibKey() {
#ifdef _WIN64
    constexpr wchar_t kPlatform[] = L"win64";
#else
    constexpr wchar_t kPlatform[] = L"win32";
#endif
    return std::wstring(L"TypeLib\\") + kLibidText + L"\\1.0\\0\\" + kPlatform;
}

const wchar_t* const kDtmCategories[] = {
    L"{036D1490-387B-11D4-86E1-00E0987270B9}",
    L"{036D1491-387B-11D4-86E1-00E0987270B9}",
    L"{036D1499-387B-11D4-86E1-00E0987270B9}",
};

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(apartment_.Status()));
        ASSERT_TRUE(server_.Loaded()) << "cannot load the server DLL";
        ASSERT_EQ(S_OK, server_.registerServer());
    }
    void TearDown() override {
        if (server_.Loaded()) {
            EXPECT_EQ(S_OK, server_.registerServer());
        }
    }

    ql::ComApartment apartment_;
    moduletest::ServerModule server_;
};

TEST_F(RegistrationTest, ProgIdsPointToTheirClass) {
    EXPECT_EQ(L"VarnokP3.DtmObject.1", Value(L"VarnokP3.DtmObject\\CurVer"));
    for (const ServerClass& c : kServerClasses) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.name)));
        const std::wstring progId = ProgId(c);
        EXPECT_EQ(c.description, Value(progId));
        EXPECT_EQ(c.clsidText, Value(progId + L"\\CLSID"));
        EXPECT_EQ(c.clsidText, Value(progId + L".1\\CLSID"));
        EXPECT_EQ(progId + L".1", Value(progId + L"\\CurVer"));
    }
}

TEST_F(RegistrationTest, ClassKeysAreApartmentThreadedServersOfThisModule) {
    for (const ServerClass& c : kServerClasses) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.name)));
        const std::wstring key = ClassKey(c);
        EXPECT_EQ(c.description, Value(key));
        EXPECT_TRUE(KeyExists(key + L"\\Programmable"));
        EXPECT_EQ(server_.Path(), Value(key + L"\\InprocServer32"));
        EXPECT_EQ(L"Apartment", Value(key + L"\\InprocServer32", L"ThreadingModel"));
    }
}

TEST_F(RegistrationTest, EachShapeCarriesItsOwnKeys) {
    for (const ServerClass& c : kServerClasses) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.name)));
        const std::wstring key = ClassKey(c);
        const bool isPage = c.kind == ClassKind::PropertyPage;
        const bool isControl = c.kind == ClassKind::Control;
        EXPECT_EQ(isPage ? kMissing : ProgId(c) + L".1", Value(key + L"\\ProgID"));
        EXPECT_EQ(isPage ? kMissing : ProgId(c), Value(key + L"\\VersionIndependentProgID"));
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

TEST_F(RegistrationTest, DtmObjectImplementsTheThreeCategories) {
    const std::wstring categories = ClassKey(kServerClasses[2]) + L"\\Implemented Categories\\";
    for (const wchar_t* catid : kDtmCategories) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(catid)));
        EXPECT_TRUE(KeyExists(categories + catid));
    }
}

#ifdef VARNOK_MODULE_TYPELIB
TEST_F(RegistrationTest, TypeLibraryIsRegisteredFromTheModule) {
    EXPECT_EQ(server_.Path(), Value(TypeLibKey()));
}
#endif

TEST_F(RegistrationTest, UnregisterRemovesEverythingAndAnswersSOk) {
    ASSERT_EQ(S_OK, server_.unregisterServer());
    for (const ServerClass& c : kServerClasses) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.name)));
        EXPECT_FALSE(KeyExists(ClassKey(c)));
        EXPECT_FALSE(KeyExists(ProgId(c)));
        EXPECT_FALSE(KeyExists(ProgId(c) + L".1"));
    }
    EXPECT_FALSE(KeyExists(TypeLibKey()));
    EXPECT_EQ(S_OK, server_.unregisterServer()) << "removing what is gone is no failure";
}

}  // namespace
