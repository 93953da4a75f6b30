// The manufacturer-name lookup as the device information page uses it: created by class id for all
// contexts, asked once, released.
#include <windows.h>

#include <gtest/gtest.h>

#include "UiComponentInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "tests/support/ComTest.h"
#include "tests/support/ServerModule.h"

namespace {

using vtest::ComTest;

constexpr DWORD kAllContexts = 0x17;

TEST_F(ComTest, ManufacturerLookupNamesTheMakersItKnowsAndAnswersUnknownOtherwise) {
    struct Case {
        ULONG id;
        const wchar_t* name;
    };
    const Case cases[] = {
        {0x00FA, L"Orvo"},  // the simulated flowmeter's maker
        {0x002A, L"Siemens"},
        {0x1A2B, L"unknown"},                // the device information page's unknown maker
        {0x000000FA | 0x10000, L"unknown"},  // the whole number counts, not its low 16 bits
        {0, L"unknown"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        ql::ComPtr<IManufacturerLookup> lookup;
        ASSERT_HR(S_OK, ::CoCreateInstance(CLSID_ManufacturerLookup, nullptr, kAllContexts,
                                           IID_IManufacturerLookup, lookup.PutVoid()));
        ql::Bstr name;
        EXPECT_HR(S_OK, lookup->GetManufacturerName(c.id, name.Put()));
        EXPECT_STREQ(c.name, name.CStr());
    }
    ql::ComPtr<IManufacturerLookup> lookup;
    ASSERT_HR(S_OK, ::CoCreateInstance(CLSID_ManufacturerLookup, nullptr, kAllContexts,
                                       IID_IManufacturerLookup, lookup.PutVoid()));
    EXPECT_HR(E_POINTER, lookup->GetManufacturerName(0x00FA, nullptr));
    lookup.Reset();
    EXPECT_HR(S_OK, vtest::ServerCanUnloadNow(L"manufacturer_lookup.dll"));
}

}  // namespace
