#include "tests/module/ServerModule.h"

#include "classlib/ModuleTypeLibrary.h"
#include "classlib/Utf8.h"

namespace moduletest {

namespace {

// The build passes the DLL's path as the host sees it; under Wine the host's root is drive Z:.
std::wstring WindowsPathOf(const char* hostPath) {
    std::wstring path = ql::WideFromUtf8(hostPath);
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

}  // namespace

ServerModule::ServerModule() : path_(WindowsPathOf(VARNOK_MODULE_FILE)) {
    if (FAILED(library_.Load(path_.c_str()))) return;
    path_ = ql::ModuleFilePath(library_.Get());  // the form the registrar writes for %MODULE%
    getClassObject = library_.Export<DllGetClassObjectFn>("DllGetClassObject");
    canUnloadNow = library_.Export<DllServerFn>("DllCanUnloadNow");
    registerServer = library_.Export<DllServerFn>("DllRegisterServer");
    unregisterServer = library_.Export<DllServerFn>("DllUnregisterServer");
}

}  // namespace moduletest
