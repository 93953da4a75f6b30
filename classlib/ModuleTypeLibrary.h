#pragma once
// The type library embedded in a module file as TYPELIB resource 1: loaded once, its type information cached
// per interface for IDispatch implementations, and registered or unregistered for the module. It also
// caches the type information that registered libraries of other parties give for their interfaces.
#include <oaidl.h>
#include <windows.h>

#include <string>
#include <vector>

#include "classlib/ComPtr.h"
#include "classlib/CriticalSection.h"

namespace ql {

// A registered type library as LoadRegTypeLib finds it.
struct RegisteredTypeLibraryId {
    GUID libid;
    WORD major;
    WORD minor;
    LCID lcid;
};

class ModuleTypeLibrary {
public:
    ModuleTypeLibrary() noexcept = default;
    ModuleTypeLibrary(const ModuleTypeLibrary&) = delete;
    ModuleTypeLibrary& operator=(const ModuleTypeLibrary&) = delete;

    // The type information of `iid` (for a dual interface: its vtable description, which ITypeInfo::Invoke
    // needs), loaded from the library of `module`'s file on first demand and cached.
    HRESULT GetTypeInfo(HMODULE module, REFGUID iid, ITypeInfo** out) noexcept;
    // The same for an interface of the registered library `library` (TYPE_E_LIBNOTREGISTERED and the
    // like while it is not registered; a failure is not cached, so a later registration is found).
    HRESULT GetRegisteredTypeInfo(const RegisteredTypeLibraryId& library, REFGUID iid,
                                  ITypeInfo** out) noexcept;
    // RegisterTypeLib for the library of `module`'s file, with the file's folder as help folder.
    HRESULT Register(HMODULE module) noexcept;
    HRESULT Unregister(HMODULE module) noexcept;
    // The library's own key alone (TypeLib\{libid}\<version>, as RegisterTypeLib writes it), without the
    // Interface keys of the interfaces it describes: for a library that repeats an interface another library
    // owns (widl copies every interface a coclass names into the library), whose registration must stay the
    // owner's. Unregistering removes that version's key, and the library's id key once no version is left.
    HRESULT RegisterLibraryOnly(HMODULE module) noexcept;
    HRESULT UnregisterLibraryOnly(HMODULE module) noexcept;
    // Drops the cached library and type information (module end).
    void Clear() noexcept;

private:
    HRESULT LoadLocked(HMODULE module) noexcept;
    // Looks `iid` up in the cache, else asks `library` for it and caches the vtable description.
    template <class LibraryLoader>
    HRESULT CachedTypeInfoOf(REFGUID iid, ITypeInfo** out, LibraryLoader loadLibrary) noexcept;

    struct CachedTypeInfo {
        GUID iid;
        ComPtr<ITypeInfo> info;
    };
    CriticalSection lock_;  // the module's type-information lock
    ComPtr<ITypeLib> library_;
    std::vector<CachedTypeInfo> infos_;
};

// The full path of a module's file ("" when it cannot be read).
std::wstring ModuleFilePath(HMODULE module);
// Loads the type library of a module file (its TYPELIB resource 1) without registering it.
HRESULT LoadModuleTypeLibrary(const std::wstring& modulePath, ComPtr<ITypeLib>& out) noexcept;

}  // namespace ql
