// The four entry points of the COM server, answered by the COM module (classlib/ComModule).
#include <objbase.h>
#include <windows.h>

#include "classlib/ComModule.h"

namespace {
#ifdef VARNOK_MODULE_TYPELIB
constexpr bool kModuleHasTypeLibrary = true;
#else
constexpr bool kModuleHasTypeLibrary = false;  // built before the type library existed
#endif
}  // namespace

extern "C" {

STDAPI DllCanUnloadNow() noexcept { return ql::ComModule::Instance().CanUnloadNow(); }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) noexcept {
    return ql::ComModule::Instance().GetClassObject(clsid, iid, out);
}

STDAPI DllRegisterServer() noexcept {
    return ql::ComModule::Instance().RegisterServer(kModuleHasTypeLibrary);
}

STDAPI DllUnregisterServer() noexcept {
    return ql::ComModule::Instance().UnregisterServer(kModuleHasTypeLibrary);
}
}
