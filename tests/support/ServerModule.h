#pragma once
// What a loaded COM server DLL answers to DllCanUnloadNow: S_OK when none of its objects lives any more (the
// proof that a test left no reference behind), S_OK as well when the DLL is not loaded at all.
#include <windows.h>

namespace vtest {

inline HRESULT ServerCanUnloadNow(const wchar_t* dllName) {
    HMODULE server = ::GetModuleHandleW(dllName);
    if (!server) return S_OK;
    using CanUnloadFn = HRESULT(STDAPICALLTYPE*)();
    auto canUnload =
        reinterpret_cast<CanUnloadFn>(reinterpret_cast<void*>(::GetProcAddress(server, "DllCanUnloadNow")));
    return canUnload ? canUnload() : E_FAIL;
}

}  // namespace vtest
