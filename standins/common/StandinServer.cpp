// The entry points of a small stand-in server: its module state and the four exports. Each stand-in DLL
// compiles this file among its own sources; its classes join the module through their AutoObjectEntry and
// register themselves by their registry scripts. The stand-ins carry no type library.
#include <windows.h>

#include "classlib/ComModule.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) noexcept {
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(instance);
        return SUCCEEDED(ql::ComModule::Instance().Init(nullptr, instance, GUID_NULL));
    }
    if (reason == DLL_PROCESS_DETACH) ql::ComModule::Instance().Term();
    return TRUE;
}

STDAPI DllCanUnloadNow() noexcept { return ql::ComModule::Instance().CanUnloadNow(); }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) noexcept {
    return ql::ComModule::Instance().GetClassObject(clsid, iid, out);
}

STDAPI DllRegisterServer() noexcept { return ql::ComModule::Instance().RegisterServer(false); }

STDAPI DllUnregisterServer() noexcept { return ql::ComModule::Instance().UnregisterServer(false); }
}
