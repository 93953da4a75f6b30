// The module: object map from a static map and the self-registered list, class objects, unload counting,
// registration in map order and the type library.
#include <gtest/gtest.h>

#include <vector>

#include "ClasslibTestTypes.h"
#include "classlib/ComModule.h"
#include "tests/classlib/ComTestObjects.h"
#include "tests/support/ComTest.h"
#include "tests/support/TestRegistry.h"

namespace {

using comtest::CWidget;

constexpr CLSID kClsidWidget = {0x9a2f6907, 0x012c, 0x4142, {0xa6, 0x04, 0x4b, 0x29, 0x9e, 0x35, 0x53, 0x38}};
constexpr CLSID kClsidUnavailable = {
    0x57e17252, 0x7a86, 0x4a50, {0x86, 0xaf, 0xed, 0x28, 0xf5, 0x14, 0x41, 0xb7}};
constexpr CLSID kClsidListedFirst = {
    0x5dc3218d, 0xfb96, 0x4330, {0x9f, 0x48, 0x35, 0x5b, 0x11, 0x22, 0xbf, 0xea}};
constexpr CLSID kClsidListedSecond = {
    0xc9198e46, 0x319e, 0x4cf0, {0xa1, 0x82, 0xe2, 0xaf, 0x05, 0x84, 0x29, 0x42}};
constexpr CATID kCatidTest = {0xcf7df95f, 0x728b, 0x4d08, {0x8a, 0x08, 0xee, 0xd7, 0xb2, 0x28, 0x46, 0x59}};
constexpr wchar_t kWidgetCategoryKey[] =
    L"CLSID\\{9A2F6907-012C-4142-A604-4B299E355338}\\Implemented "
    L"Categories\\{CF7DF95F-728B-4D08-8A08-EED7B2284659}";
constexpr wchar_t kTestTypeLibKey[] = L"TypeLib\\{D7B2EC22-9AA1-41D6-91DC-3C12304087EC}\\1.0";

// Registration functions that record their calls (entry, register?) and answer what a test sets.
std::vector<std::pair<int, bool>> g_registryCalls;
HRESULT g_registryResults[4] = {S_OK, S_OK, S_OK, S_OK};

template <int Entry>
HRESULT RecordUpdateRegistry(BOOL doRegister) noexcept {
    g_registryCalls.emplace_back(Entry, doRegister != FALSE);
    return g_registryResults[Entry];
}

std::vector<bool> g_objectMainCalls;
void RecordObjectMain(bool starting) noexcept { g_objectMainCalls.push_back(starting); }

const ql::CategoryMapEntry* WidgetCategories() noexcept {
    static const ql::CategoryMapEntry map[] = {{&kCatidTest}, {nullptr}};
    return map;
}

// Two classes announce themselves the way the server's classes do; the list holds them in reverse.
ql::AutoObjectEntry g_listedFirst(ql::MakeObjectEntry(kClsidListedFirst, &RecordUpdateRegistry<3>,
                                                      &ql::CreateNotImplemented));
ql::AutoObjectEntry g_listedSecond(ql::MakeObjectEntry(kClsidListedSecond, &RecordUpdateRegistry<2>,
                                                       &ql::CreateNotImplemented));

std::vector<std::pair<int, bool>> AllEntries(bool doRegister) {
    return {{0, doRegister}, {1, doRegister}, {2, doRegister}, {3, doRegister}};
}

class ComModuleTest : public vtest::ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_HR(S_OK, Module().CanUnloadNow()) << "an earlier test left module locks";
        staticMap_.push_back(ql::MakeObjectEntry(kClsidWidget, &RecordUpdateRegistry<0>,
                                                 &ql::CreateInstance<CWidget>, &WidgetCategories));
        staticMap_.back().objectMain = &RecordObjectMain;
        staticMap_.push_back(
            ql::MakeObjectEntry(kClsidUnavailable, &RecordUpdateRegistry<1>, &ql::CreateNotImplemented));
        staticMap_.push_back(ql::ObjectMapEntry{});  // ends the static map
        g_registryCalls.clear();
        g_objectMainCalls.clear();
        for (HRESULT& result : g_registryResults) result = S_OK;
        CWidget::ResetCounters();
        ASSERT_HR(S_OK, Module().Init(staticMap_.data(), ::GetModuleHandleW(nullptr), LIBID_ClasslibTestLib));
    }
    void TearDown() override { Module().Term(); }
    static ql::ComModule& Module() { return ql::ComModule::Instance(); }
    static ql::ComPtr<IClassFactory> Factory(REFCLSID clsid) {
        ql::ComPtr<IClassFactory> factory;
        EXPECT_HR(S_OK, Module().GetClassObject(clsid, IID_IClassFactory, factory.PutVoid()));
        return factory;
    }
    static bool KeyExists(const wchar_t* path) { return vtest::RegistryKeyExists(HKEY_CLASSES_ROOT, path); }

    vtest::ScopedRegistryKey widgetKey_{HKEY_CLASSES_ROOT, L"CLSID\\{9A2F6907-012C-4142-A604-4B299E355338}"};
    std::vector<ql::ObjectMapEntry> staticMap_;
};

TEST_F(ComModuleTest, ObjectMapIsTheStaticMapFollowedByTheListFromItsHead) {
    const std::vector<ql::ObjectMapEntry>& map = Module().ObjectMap();
    const CLSID* expected[] = {&kClsidWidget, &kClsidUnavailable, &kClsidListedSecond, &kClsidListedFirst};
    ASSERT_EQ(4u, map.size());
    for (size_t i = 0; i < map.size(); ++i) EXPECT_TRUE(IsEqualCLSID(*expected[i], *map[i].clsid)) << i;
    EXPECT_EQ(std::vector<bool>{true}, g_objectMainCalls);
    Module().Term();
    EXPECT_EQ((std::vector<bool>{true, false}), g_objectMainCalls);
    EXPECT_TRUE(Module().ObjectMap().empty());
}

TEST_F(ComModuleTest, RegistrationRunsInMapOrderWithCategoriesAndTypeLibrary) {
    ASSERT_HR(S_OK, Module().RegisterServer(true));
    EXPECT_EQ(AllEntries(true), g_registryCalls);
    EXPECT_TRUE(KeyExists(kWidgetCategoryKey));
    EXPECT_TRUE(KeyExists(kTestTypeLibKey));
    g_registryCalls.clear();
    EXPECT_HR(S_OK, Module().UnregisterServer(true));
    EXPECT_EQ(AllEntries(false), g_registryCalls);
    EXPECT_FALSE(KeyExists(kWidgetCategoryKey));
    EXPECT_FALSE(KeyExists(kTestTypeLibKey));
}

}  // namespace
