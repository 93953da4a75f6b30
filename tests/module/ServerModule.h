#pragma once
// The built server DLL, loaded into the test program, with its four exports.
#include <windows.h>

#include <string>

#include "classlib/LoadedLibrary.h"
#include "classlib/ModuleTypeLibrary.h"
#include "tests/support/TestPaths.h"

namespace moduletest {

using DllGetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using DllServerFn = HRESULT(STDAPICALLTYPE*)();

class ServerModule {
public:
    ServerModule() {
        if (FAILED(library_.Load(vtest::WindowsPath(VARNOK_MODULE_FILE).c_str()))) return;
        path_ = ql::ModuleFilePath(library_.Get());  // the form the registrar writes for %MODULE%
        getClassObject = library_.Export<DllGetClassObjectFn>("DllGetClassObject");
        canUnloadNow = library_.Export<DllServerFn>("DllCanUnloadNow");
        registerServer = library_.Export<DllServerFn>("DllRegisterServer");
        unregisterServer = library_.Export<DllServerFn>("DllUnregisterServer");
    }

    bool Loaded() const { return getClassObject && canUnloadNow && registerServer && unregisterServer; }
    // The DLL's path as Windows sees it (the registered InprocServer32 value).
    const std::wstring& Path() const { return path_; }

    DllGetClassObjectFn getClassObject = nullptr;
    DllServerFn canUnloadNow = nullptr;
    DllServerFn registerServer = nullptr;
    DllServerFn unregisterServer = nullptr;

private:
    std::wstring path_;
    ql::LoadedLibrary library_;
};

}  // namespace moduletest
