// The module: object map from a static map and the self-registered list, class objects, unload counting,
// registration in map order and the type library.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ClasslibTestTypes.h"
#include "classlib/ComApartment.h"
#include "classlib/ComModule.h"
#include "classlib/RegKey.h"
#include "tests/classlib/ComTestObjects.h"

namespace {

using comtest::CountingOuter;
using comtest::CWidget;

constexpr CLSID kClsidWidget = {0x9a2f6907, 0x012c, 0x4142, {0xa6, 0x04, 0x4b, 0x29, 0x9e, 0x35, 0x53, 0x38}};
constexpr CLSID kClsidUnavailable = {
    0x57e17252, 0x7a86, 0x4a50, {0x86, 0xaf, 0xed, 0x28, 0xf5, 0x14, 0x41, 0xb7}};
constexpr CLSID kClsidListedFirst = {
    0x5dc3218d, 0xfb96, 0x4330, {0x9f, 0x48, 0x35, 0x5b, 0x11, 0x22, 0xbf, 0xea}};
constexpr CLSID kClsidListedSecond = {
    0xc9198e46, 0x319e, 0x4cf0, {0xa1, 0x82, 0xe2, 0xaf, 0x05, 0x84, 0x29, 0x42}};
constexpr CLSID kClsidNowhere = {
    0x774f73ea, 0xa755, 0x40cd, {0x91, 0x1e, 0x36, 0xb2, 0x17, 0x05, 0xa6, 0x7a}};
constexpr CATID kCatidTest = {0xcf7df95f, 0x728b, 0x4d08, {0x8a, 0x08, 0xee, 0xd7, 0xb2, 0x28, 0x46, 0x59}};
constexpr wchar_t kWidgetCategoryKey[] =
    L"CLSID\\{9A2F6907-012C-4142-A604-4B299E355338}\\Implemented "
    L"Categories\\{CF7DF95F-728B-4D08-8A08-EED7B2284659}";
constexpr wchar_t kWidgetClassKey[] = L"CLSID\\{9A2F6907-012C-4142-A604-4B299E355338}";
constexpr wchar_t kTestTypeLibKey[] = L"TypeLib\\{D7B2EC22-9AA1-41D6-91DC-3C12304087EC}\\1.0";

// Registration functions that record their calls and answer what a test sets.
struct RegistryCall {
    int entry;
    bool doRegister;
    bool operator==(const RegistryCall& o) const { return entry == o.entry && doRegister == o.doRegister; }
};
std::vector<RegistryCall> g_registryCalls;
HRESULT g_registryResults[4] = {S_OK, S_OK, S_OK, S_OK};

template <int Entry>
HRESULT RecordUpdateRegistry(BOOL doRegister) noexcept {
    g_registryCalls.push_back({Entry, doRegister != FALSE});
    return g_registryResults[Entry];
}

std::vector<bool> g_objectMainCalls;
void RecordObjectMain(bool starting) noexcept { g_objectMainCalls.push_back(starting); }

const ql::CategoryMapEntry* WidgetCategories() noexcept {
    static const ql::CategoryMapEntry map[] = {{&kCatidTest}, {nullptr}};
    return map;
}

ql::ObjectMapEntry WithObjectMain(ql::ObjectMapEntry entry) {
    entry.objectMain = &RecordObjectMain;
    return entry;
}

// Two classes announce themselves the way the server's classes do; the list holds them in reverse.
ql::AutoObjectEntry g_listedFirst(ql::MakeObjectEntry(kClsidListedFirst, &RecordUpdateRegistry<3>,
                                                      &ql::CreateNotImplemented));
ql::AutoObjectEntry g_listedSecond(ql::MakeObjectEntry(kClsidListedSecond, &RecordUpdateRegistry<2>,
                                                       &ql::CreateNotImplemented));

class ComModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(apartment_.Status()));
        ASSERT_EQ(S_OK, Module().CanUnloadNow()) << "an earlier test left module locks";
        staticMap_.push_back(WithObjectMain(ql::MakeObjectEntry(
            kClsidWidget, &RecordUpdateRegistry<0>, &ql::CreateInstance<CWidget>, &WidgetCategories)));
        staticMap_.push_back(
            ql::MakeObjectEntry(kClsidUnavailable, &RecordUpdateRegistry<1>, &ql::CreateNotImplemented));
        staticMap_.push_back(ql::ObjectMapEntry{});  // ends the static map
        g_registryCalls.clear();
        g_objectMainCalls.clear();
        for (HRESULT& result : g_registryResults) result = S_OK;
        CWidget::ResetCounters();
        ASSERT_EQ(S_OK, Module().Init(staticMap_.data(), ::GetModuleHandleW(nullptr), LIBID_ClasslibTestLib));
    }
    void TearDown() override {
        Module().Term();
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kWidgetClassKey);
        ::RegDeleteKeyW(HKEY_CLASSES_ROOT, kWidgetClassKey);
    }
    static ql::ComModule& Module() { return ql::ComModule::Instance(); }
    static ql::ComPtr<IClassFactory> Factory(REFCLSID clsid) {
        ql::ComPtr<IClassFactory> factory;
        EXPECT_EQ(S_OK, Module().GetClassObject(clsid, IID_IClassFactory, factory.PutVoid()));
        return factory;
    }
    static bool KeyExists(const wchar_t* path) {
        ql::RegKey key;
        return SUCCEEDED(key.Open(HKEY_CLASSES_ROOT, path));
    }

    ql::ComApartment apartment_;
    std::vector<ql::ObjectMapEntry> staticMap_;
};

TEST_F(ComModuleTest, ObjectMapIsTheStaticMapFollowedByTheListFromItsHead) {
    const std::vector<ql::ObjectMapEntry>& map = Module().ObjectMap();
    const CLSID* expected[] = {&kClsidWidget, &kClsidUnavailable, &kClsidListedSecond, &kClsidListedFirst};
    ASSERT_EQ(4u, map.size());
    for (size_t i = 0; i < map.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(IsEqualCLSID(*expected[i], *map[i].clsid));
    }
    EXPECT_EQ(std::vector<bool>{true}, g_objectMainCalls);
    Module().Term();
    EXPECT_EQ((std::vector<bool>{true, false}), g_objectMainCalls);
    EXPECT_TRUE(Module().ObjectMap().empty());
}

TEST_F(ComModuleTest, ClassObjectIsCreatedOnceAndShared) {
    ql::ComPtr<IClassFactory> first = Factory(kClsidWidget);
    ql::ComPtr<IClassFactory> second = Factory(kClsidWidget);
    ASSERT_TRUE(first);
    EXPECT_EQ(first.Get(), second.Get());
    ql::ComPtr<IUnknown> asUnknown;
    EXPECT_EQ(S_OK, Module().GetClassObject(kClsidWidget, IID_IUnknown, asUnknown.PutVoid()));
    EXPECT_TRUE(ql::IsSameObject(asUnknown.Get(), first.Get()));

    void* out = reinterpret_cast<void*>(static_cast<UINT_PTR>(1));
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, Module().GetClassObject(kClsidNowhere, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    out = reinterpret_cast<void*>(static_cast<UINT_PTR>(1));
    EXPECT_EQ(E_NOINTERFACE, Module().GetClassObject(kClsidWidget, IID_IDispatch, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, Module().GetClassObject(kClsidWidget, IID_IClassFactory, nullptr));
}

TEST_F(ComModuleTest, CanUnloadOnlyWhenNoObjectNoLockAndNoHeldFactoryLives) {
    ql::ComPtr<IClassFactory> factory = Factory(kClsidWidget);
    EXPECT_EQ(S_FALSE, Module().CanUnloadNow()) << "a caller holds the factory";

    ql::ComPtr<ITestAlpha> object;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, __uuidof(ITestAlpha), object.PutVoid()));
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    factory.Reset();
    EXPECT_EQ(S_FALSE, Module().CanUnloadNow()) << "object and server lock";
    object.Reset();
    EXPECT_EQ(S_FALSE, Module().CanUnloadNow()) << "server lock";

    factory = Factory(kClsidWidget);
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    factory.Reset();
    EXPECT_EQ(S_OK, Module().CanUnloadNow());
    EXPECT_EQ(0, CWidget::live);
}

TEST_F(ComModuleTest, FactoryCreatesStandaloneAndAggregatedObjects) {
    ql::ComPtr<IClassFactory> factory = Factory(kClsidWidget);
    ql::ComPtr<ITestBeta> beta;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, __uuidof(ITestBeta), beta.PutVoid()));
    EXPECT_EQ(2, beta->Beta());
    beta.Reset();

    CountingOuter outer;
    void* out = reinterpret_cast<void*>(static_cast<UINT_PTR>(1));
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, __uuidof(ITestAlpha), &out));
    EXPECT_EQ(nullptr, out);
    ASSERT_EQ(S_OK, factory->CreateInstance(&outer, IID_IUnknown, outer.inner.PutVoid()));
    ql::ComPtr<ITestAlpha> alpha;
    ASSERT_EQ(S_OK, ql::QueryInterfaceTo(static_cast<IUnknown*>(&outer), alpha));
    EXPECT_EQ(2u, outer.refs) << "the inner's interface counts on the outer object";
    alpha.Reset();
    outer.inner.Reset();
    EXPECT_EQ(0, CWidget::live);

    ql::ComPtr<IClassFactory> unavailable = Factory(kClsidUnavailable);
    out = reinterpret_cast<void*>(static_cast<UINT_PTR>(1));
    EXPECT_EQ(E_NOTIMPL, unavailable->CreateInstance(nullptr, IID_IUnknown, &out));
    EXPECT_EQ(nullptr, out);
}

TEST_F(ComModuleTest, RegistrationRunsInMapOrderWithCategoriesAndTypeLibrary) {
    ASSERT_EQ(S_OK, Module().RegisterServer(true));
    EXPECT_EQ((std::vector<RegistryCall>{{0, true}, {1, true}, {2, true}, {3, true}}), g_registryCalls);
    EXPECT_TRUE(KeyExists(kWidgetCategoryKey));
    EXPECT_TRUE(KeyExists(kTestTypeLibKey));

    g_registryCalls.clear();
    EXPECT_EQ(S_OK, Module().UnregisterServer(true));
    EXPECT_EQ((std::vector<RegistryCall>{{0, false}, {1, false}, {2, false}, {3, false}}), g_registryCalls);
    EXPECT_FALSE(KeyExists(kWidgetCategoryKey));
    EXPECT_FALSE(KeyExists(kTestTypeLibKey));
}

TEST_F(ComModuleTest, RegistrationStopsAtTheFirstFailureButRemovalGoesOn) {
    g_registryResults[1] = E_ACCESSDENIED;
    EXPECT_EQ(E_ACCESSDENIED, Module().RegisterServer(true));
    EXPECT_EQ((std::vector<RegistryCall>{{0, true}, {1, true}}), g_registryCalls);
    EXPECT_FALSE(KeyExists(kTestTypeLibKey)) << "no type library after a failed script";

    g_registryCalls.clear();
    g_registryResults[0] = E_FAIL;
    EXPECT_EQ(S_OK, Module().UnregisterServer(true));
    EXPECT_EQ((std::vector<RegistryCall>{{0, false}, {1, false}, {2, false}, {3, false}}), g_registryCalls);
    EXPECT_FALSE(KeyExists(kWidgetCategoryKey));
}

const wchar_t* SomeDescription() noexcept { return L"registered elsewhere"; }

TEST_F(ComModuleTest, EntriesWithADescriptionAreLeftAlone) {
    Module().Term();
    staticMap_[1].description = &SomeDescription;
    ASSERT_EQ(S_OK, Module().Init(staticMap_.data(), ::GetModuleHandleW(nullptr), LIBID_ClasslibTestLib));
    EXPECT_EQ(S_OK, Module().RegisterServer(false));
    EXPECT_EQ(S_OK, Module().UnregisterServer(false));
    EXPECT_EQ(
        (std::vector<RegistryCall>{{0, true}, {2, true}, {3, true}, {0, false}, {2, false}, {3, false}}),
        g_registryCalls);
}

}  // namespace
