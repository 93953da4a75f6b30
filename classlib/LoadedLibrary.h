#pragma once
// Owner of one library loaded with LoadLibrary, freed when the owner goes.
#include <windows.h>

#include <utility>

namespace ql {

class LoadedLibrary {
public:
    LoadedLibrary() noexcept = default;
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    LoadedLibrary(LoadedLibrary&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}
    LoadedLibrary& operator=(LoadedLibrary&& other) noexcept {
        if (this != &other) {
            Reset();
            module_ = std::exchange(other.module_, nullptr);
        }
        return *this;
    }
    ~LoadedLibrary() { Reset(); }

    HRESULT Load(const wchar_t* path) noexcept {
        Reset();
        module_ = ::LoadLibraryW(path);
        return module_ ? S_OK : HRESULT_FROM_WIN32(::GetLastError());
    }
    HMODULE Get() const noexcept { return module_; }
    void Reset() noexcept {
        HMODULE old = std::exchange(module_, nullptr);
        if (old) ::FreeLibrary(old);
    }
    // The exported function `name` as type Fn; null when the library or the export is missing.
    template <class Fn>
    Fn Export(const char* name) const noexcept {
        if (!module_) return nullptr;
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module_, name)));
    }

private:
    HMODULE module_ = nullptr;
};

}  // namespace ql
