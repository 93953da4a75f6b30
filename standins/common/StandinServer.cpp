// The entry points of a small stand-in server: its module state and the four exports. Each stand-in DLL
// compiles this file among its own sources; its classes join the module through their AutoObjectEntry and
// register themselves by their registry scripts. A stand-in control carries a type library of its own (its
// class information), built with VARNOK_STANDIN_TYPELIB: the server registers the library alone, since the
// interfaces it describes belong to the component or to the FDT library, whose registrations stay theirs.
#include <windows.h>

#include "classlib/ComModule.h"
#include "classlib/HResult.h"

namespace {
#ifdef VARNOK_STANDIN_TYPELIB
constexpr bool kHasTypeLibrary = true;
#else
constexpr bool kHasTypeLibrary = false;
#endif
}  // namespace

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

STDAPI DllRegisterServer() noexcept {
    ql::ComModule& module = ql::ComModule::Instance();
    QL_RETURN_IF_FAILED(module.RegisterServer(false));
    return kHasTypeLibrary ? module.TypeLibrary().RegisterLibraryOnly(module.ModuleInstance()) : S_OK;
}

STDAPI DllUnregisterServer() noexcept {
    ql::ComModule& module = ql::ComModule::Instance();
    // Unregistering removes what it can and answers S_OK, as the classes' removal does.
    if (kHasTypeLibrary) (void)module.TypeLibrary().UnregisterLibraryOnly(module.ModuleInstance());
    return module.UnregisterServer(false);
}
}
