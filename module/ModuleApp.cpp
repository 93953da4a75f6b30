#include "module/ModuleApp.h"

#include "VarnokP3.h"
#include "classlib/ComModule.h"

CModuleApp theApp;

BOOL CModuleApp::InitInstance(HINSTANCE instance) noexcept {
    // Every class of this module announces itself through the self-registered list (ObjectMap.cpp); the
    // static map is empty.
    return SUCCEEDED(ql::ComModule::Instance().Init(nullptr, instance, LIBID_VarnokP3Lib));
}

int CModuleApp::ExitInstance() noexcept {
    ql::ComModule::Instance().Term();
    return 0;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) noexcept {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            ::DisableThreadLibraryCalls(instance);
            return theApp.InitInstance(instance);
        case DLL_PROCESS_DETACH:
            theApp.ExitInstance();
            break;
        default:
            break;
    }
    return TRUE;
}
