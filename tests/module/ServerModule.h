#pragma once
// The built server DLL, loaded into the test program, with its four exports.
#include <windows.h>

#include <string>

#include "classlib/LoadedLibrary.h"

namespace moduletest {

using DllGetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using DllServerFn = HRESULT(STDAPICALLTYPE*)();

class ServerModule {
public:
    ServerModule();

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
