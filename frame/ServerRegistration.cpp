#include "frame/ServerRegistration.h"

namespace {

// Owner of one loaded library.
class LoadedLibrary {
public:
    explicit LoadedLibrary(const std::wstring& path) noexcept
        : module_(::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {}
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    ~LoadedLibrary() {
        if (module_) ::FreeLibrary(module_);
    }
    HMODULE Get() const noexcept { return module_; }

private:
    HMODULE module_;
};

using RegisterServerFn = HRESULT(STDAPICALLTYPE*)();

}  // namespace

HRESULT RegisterServerModule(const std::wstring& path) noexcept {
    LoadedLibrary library(path);
    if (!library.Get()) return HRESULT_FROM_WIN32(::GetLastError());
    const FARPROC entry = ::GetProcAddress(library.Get(), "DllRegisterServer");
    if (!entry) return HRESULT_FROM_WIN32(::GetLastError());
    return reinterpret_cast<RegisterServerFn>(reinterpret_cast<void*>(entry))();
}
