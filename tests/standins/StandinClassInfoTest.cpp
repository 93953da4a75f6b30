// The stand-ins of the outside components as a container sees them: created by class id through COM from
// their registered servers, a stand-in that offers IProvideClassInfo answers its coclass, and its IDispatch
// describes that coclass's [default] interface. The two stand-in controls register their own libraries, and
// leave the FDT interface that the about view's class names to the FDT library.
#include <ocidl.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "AboutViewLibrary.h"
#include "TrendChartLibrary.h"
#include "classlib/ComPtr.h"
#include "classlib/LoadedLibrary.h"
#include "classlib/ModuleTypeLibrary.h"
#include "tests/support/ClassInformation.h"
#include "tests/support/ComTest.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TestRegistry.h"

namespace {

struct StandinClass {
    const char* name;
    const CLSID& clsid;
    bool offersClassInfo;  // the controls do; the plain objects have no class information to give
};

const StandinClass kStandinClasses[] = {
    {"trend chart", CLSID_TrendChart, true},
    {"about view", CLSID_QuelkAboutView2, true},
    {"message hook", CLSID_QuelkMessageHook, false},
    {"manufacturer lookup", CLSID_ManufacturerLookup, false},
};

void ExpectClassInformation(const StandinClass& c) {
    ql::ComPtr<IUnknown> object;
    ASSERT_HR(S_OK,
              ::CoCreateInstance(c.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.PutVoid()));
    ql::ComPtr<IProvideClassInfo> provider;
    ASSERT_EQ(c.offersClassInfo, SUCCEEDED(ql::QueryInterfaceTo(object.Get(), provider)));
    if (!c.offersClassInfo) return;

    ql::ComPtr<ITypeInfo> coclass;
    ASSERT_HR(S_OK, provider->GetClassInfo(coclass.Put()));
    vtest::TypeIdentity provided;
    ASSERT_HR(S_OK, vtest::DescribeType(coclass.Get(), provided));
    EXPECT_EQ(vtest::GuidText(c.clsid), vtest::GuidText(provided.guid));
    EXPECT_TRUE(vtest::DispatchIsDefaultInterface(object.Get(), coclass.Get()));
}

using StandinClassInfoTest = vtest::ComTest;

TEST_F(StandinClassInfoTest, AStandinGivesTheClassInformationItOffersAndDispatchesItsDefaultInterface) {
    for (const StandinClass& c : kStandinClasses) {
        SCOPED_TRACE(c.name);
        ExpectClassInformation(c);
    }
}

// The FDT library owns IDtmActiveXControl's registration, which the marshalling of every DTM's controls uses.
TEST_F(StandinClassInfoTest, AStandinControlRegistersItsLibraryAndLeavesTheFdtInterfaceToItsOwner) {
    const std::wstring fdtInterface = L"Interface\\{036D1486-387B-11D4-86E1-00E0987270B9}\\TypeLib";
    const std::wstring fdtLibrary = L"{036D1471-387B-11D4-86E1-00E0987270B9}";
    const struct {
        const char* name;
        const char* file;
        const CLSID& clsid;
        const GUID& libid;
    } cases[] = {
        {"trend chart", VARNOK_TREND_CHART_FILE, CLSID_TrendChart, LIBID_TrendChartLib},
        {"about view", VARNOK_ABOUT_VIEW_FILE, CLSID_QuelkAboutView2, LIBID_AboutViewLib},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ql::LoadedLibrary server;
        ASSERT_HR(S_OK, server.Load(vtest::WindowsPath(c.file).c_str()));
        const auto run = [&](const char* entry) {
            return server.Export<HRESULT(STDAPICALLTYPE*)()>(entry)();
        };
        const std::wstring libraryKey = L"TypeLib\\" + vtest::GuidText(c.libid);
        const std::wstring fileKey =
            libraryKey + (sizeof(void*) == 8 ? L"\\1.0\\0\\win64" : L"\\1.0\\0\\win32");

        ASSERT_HR(S_OK, run("DllRegisterServer"));
        EXPECT_EQ(ql::ModuleFilePath(server.Get()), vtest::RegistryString(HKEY_CLASSES_ROOT, fileKey));
        EXPECT_EQ(
            vtest::GuidText(c.libid),
            vtest::RegistryString(HKEY_CLASSES_ROOT, L"CLSID\\" + vtest::GuidText(c.clsid) + L"\\TypeLib"));
        EXPECT_EQ(fdtLibrary, vtest::RegistryString(HKEY_CLASSES_ROOT, fdtInterface)) << "after registering";

        EXPECT_HR(S_OK, run("DllUnregisterServer"));
        EXPECT_FALSE(vtest::RegistryKeyExists(HKEY_CLASSES_ROOT, libraryKey));
        EXPECT_EQ(fdtLibrary, vtest::RegistryString(HKEY_CLASSES_ROOT, fdtInterface))
            << "after unregistering";
        EXPECT_HR(S_OK, run("DllRegisterServer"));  // as the build left it
    }
}

}  // namespace
