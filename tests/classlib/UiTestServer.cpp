// The user-interface test server's module: its entry points and its two classes.
#include <windows.h>

#include "TestDialogControl.h"
#include "TestPropertyPage.h"
#include "UiTestResources.h"
#include "UiTestServer.h"
#include "classlib/ComModule.h"
#include "classlib/ObjectMap.h"

namespace {

ql::AutoObjectEntry g_control(ql::MakeObjectEntry(CLSID_UiTestControl,
                                                  &ql::UpdateRegistryFromScript<IDR_UI_TEST_CONTROL>,
                                                  &ql::CreateInstance<CUiTestControl>));
ql::AutoObjectEntry g_page(ql::MakeObjectEntry(CLSID_UiTestPage,
                                               &ql::UpdateRegistryFromScript<IDR_UI_TEST_PAGE>,
                                               &ql::CreateInstance<CUiTestPage>));

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) noexcept {
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(instance);
        return SUCCEEDED(ql::ComModule::Instance().Init(nullptr, instance, LIBID_UiTestServerLib));
    }
    if (reason == DLL_PROCESS_DETACH) ql::ComModule::Instance().Term();
    return TRUE;
}

STDAPI DllCanUnloadNow() noexcept { return ql::ComModule::Instance().CanUnloadNow(); }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) noexcept {
    return ql::ComModule::Instance().GetClassObject(clsid, iid, out);
}

STDAPI DllRegisterServer() noexcept { return ql::ComModule::Instance().RegisterServer(true); }

STDAPI DllUnregisterServer() noexcept { return ql::ComModule::Instance().UnregisterServer(true); }
}
