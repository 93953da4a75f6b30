// DllRegisterServer and DllUnregisterServer of the built DLL, checked in this build's Wine prefix.
// Every test leaves the DLL registered again, as the build left it.
#include <gtest/gtest.h>

#include <string>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
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
// IDtmObject, an interface of the module's own library.
constexpr wchar_t kOwnInterfaceKey[] = L"Interface\\{82EC6B48-BCE7-4529-B383-4057DD22D927}";

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
    EXPECT_EQ(kLibidText, Value(kOwnInterfaceKey + std::wstring(L"\\TypeLib")));
    ASSERT_HR(S_OK, server_.unregisterServer());
    EXPECT_FALSE(KeyExists(kOwnInterfaceKey));
    for (const ServerClass& c : kServerClasses) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        EXPECT_FALSE(KeyExists(ClassKey(c)));
        EXPECT_FALSE(KeyExists(ProgId(c)));
        EXPECT_FALSE(KeyExists(ProgId(c) + L".1"));
    }
    EXPECT_FALSE(KeyExists(TypeLibKey()));
    EXPECT_HR(S_OK, server_.unregisterServer()) << "removing what is gone is no failure";
}

// Registrations of the FDT and toolkit interfaces belong to whoever installed their libraries (a frame, the
// toolkit) and are shared by every DTM and frame.
class SharedRegistrationTest : public RegistrationTest {
protected:
    struct Registration {
        std::wstring name, typeLib, version, proxyStub;
        bool operator==(const Registration& o) const {
            return name == o.name && typeLib == o.typeLib && version == o.version && proxyStub == o.proxyStub;
        }
    };
    static std::wstring Key(const wchar_t* iid) { return std::wstring(L"Interface\\") + iid; }
    static Registration Read(const wchar_t* iid) {
        const std::wstring key = Key(iid);
        return {Value(key), Value(key + L"\\TypeLib"), Value(key + L"\\TypeLib", L"Version"),
                Value(key + L"\\ProxyStubClsid32")};
    }
    static void Write(const wchar_t* iid, const Registration& r) {
        ql::RegKey key, typeLib, proxyStub;
        ASSERT_HR(S_OK, key.Create(HKEY_CLASSES_ROOT, Key(iid).c_str()));
        ASSERT_HR(S_OK, typeLib.Create(key.Get(), L"TypeLib"));
        ASSERT_HR(S_OK, proxyStub.Create(key.Get(), L"ProxyStubClsid32"));
        ASSERT_HR(S_OK, key.SetString(nullptr, r.name));
        ASSERT_HR(S_OK, typeLib.SetString(nullptr, r.typeLib));
        ASSERT_HR(S_OK, typeLib.SetString(L"Version", r.version));
        ASSERT_HR(S_OK, proxyStub.SetString(nullptr, r.proxyStub));
    }
    // Runs `entry` (DllRegisterServer or DllUnregisterServer) of both outside libraries' stand-ins, as
    // their installations would.
    static void RunOutsideLibraries(const char* entry) {
        for (const char* path : {VARNOK_FDT_STANDIN_FILE, VARNOK_TOOLKIT_STANDIN_FILE}) {
            ql::LoadedLibrary standin;
            ASSERT_HR(S_OK, standin.Load(vtest::WindowsPath(path).c_str()));
            const auto run = standin.Export<moduletest::DllServerFn>(entry);
            ASSERT_NE(nullptr, run) << entry;
            EXPECT_HR(S_OK, run());
        }
    }
    // The prefix's own owners register again.
    void TearDown() override {
        RunOutsideLibraries("DllRegisterServer");
        RegistrationTest::TearDown();
    }
};

// The module's install and uninstall leave another owner's registration exactly as it was.
TEST_F(SharedRegistrationTest, InstallAndUninstallLeaveAnotherOwnersUntouched) {
    const wchar_t* const shared[] = {
        L"{036D1481-387B-11D4-86E1-00E0987270B9}",  // IDtm
        L"{036D1478-387B-11D4-86E1-00E0987270B9}",  // IDtmDataLock
        L"{F15BA42E-BBF1-42ED-8009-7F664A002CFB}",  // IFrameEvents
        L"{039ECFC4-9CA8-44E6-944D-B37F288A34D8}",  // IFdtCommunication
        L"{CE6184E4-3487-4976-8772-6CA65AEC8AE7}",  // IQuelkVariables
    };
    const Registration foreign = {L"Another owner's interface", L"{6B0F6C2E-5A8D-4C1B-9E33-0D5C1A7E2F10}",
                                  L"3.2", L"{9D3B7E1A-2C4F-4E8B-A1D6-5F0C3B9A7E21}"};
    ASSERT_HR(S_OK, server_.unregisterServer());
    for (const wchar_t* iid : shared) Write(iid, foreign);

    ASSERT_HR(S_OK, server_.registerServer());
    for (const wchar_t* iid : shared) EXPECT_TRUE(foreign == Read(iid)) << "after install: " << iid;
    ASSERT_HR(S_OK, server_.unregisterServer());
    for (const wchar_t* iid : shared) EXPECT_TRUE(foreign == Read(iid)) << "after uninstall: " << iid;
}

// Without the outside libraries (no frame installation) the DTM still works through its vtables; only its
// IDispatch for an FDT interface answers a failure.
TEST_F(SharedRegistrationTest, WithoutTheOutsideLibrariesOnlyIDispatchFails) {
    RunOutsideLibraries("DllUnregisterServer");
    ql::ComPtr<IClassFactory> factory;
    ASSERT_HR(S_OK, server_.getClassObject(CLSID_DtmObject, IID_IClassFactory, factory.PutVoid()));
    ql::ComPtr<IDtmDataLock> lock;
    ASSERT_HR(S_OK, factory->CreateInstance(nullptr, __uuidof(IDtmDataLock), lock.PutVoid()));
    ql::ComPtr<ITypeInfo> info;
    EXPECT_HR(TYPE_E_LIBNOTREGISTERED, lock->GetTypeInfo(0, 0x409, info.Put()));
    EXPECT_HR(S_FALSE, lock->DataLockQuery1(ql::Bstr(L"Plant/FT-101").Get()));
}

}  // namespace
