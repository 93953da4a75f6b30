// A type library in a DLL of its own, registered and unregistered through regsvr32 as a frame or
// toolkit installation would register it. The library is the DLL's TYPELIB resource 1; which one is
// decided by the resource file the DLL is linked with (fdt_typelib.dll, toolkit_typelib.dll).
//
// These stand in for libraries that lie outside the system: registering them here is the
// installation's job, so they own their Interface keys in the prefix. The module never registers
// them.
#include <windows.h>

#include "classlib/ComModule.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    return ql::ComModule::DllMain(instance, reason, nullptr, GUID_NULL);
}

// No classes: registration is the type library's alone.
extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() noexcept {
    return ql::ComModule::Instance().RegisterServer(true);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() noexcept {
    return ql::ComModule::Instance().UnregisterServer(true);
}
