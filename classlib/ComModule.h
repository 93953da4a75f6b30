#pragma once
// The COM module state of one image (the server DLL, or a test program that links the class library):
// its lock count, instance handle, object map with the cached class objects, type library and locks.
//
// Threading: objects are apartment-threaded, but the frame may use the module from several apartments, so
// the lock count is the one interlocked counter of the system and the object map is guarded by a lock.
// Lifetime: one object per image (Instance()); Init at module start, Term at module end.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "classlib/CriticalSection.h"
#include "classlib/ModuleTypeLibrary.h"
#include "classlib/ObjectMap.h"

namespace ql {

class ComModule {
public:
    using TermFn = void (*)(DWORD_PTR data) noexcept;

    static ComModule& Instance() noexcept;

    ComModule(const ComModule&) = delete;
    ComModule& operator=(const ComModule&) = delete;

    // Joins `staticMap` (ends with a null clsid; may be null) and the self-registered list, from its head,
    // into the object map, takes `instance` as module, resource and type-library handle and `libid` as the
    // type library's id, and calls every entry's object-main hook with true.
    HRESULT Init(const ObjectMapEntry* staticMap, HINSTANCE instance, const GUID& libid) noexcept;
    // Releases the class objects (object-main hooks called with false), the type library and runs the
    // termination callbacks, last added first.
    void Term() noexcept;

    LONG Lock() noexcept { return ::InterlockedIncrement(&lockCount_); }
    LONG Unlock() noexcept { return ::InterlockedDecrement(&lockCount_); }
    LONG LockCount() const noexcept { return lockCount_; }

    // The image this module lives in (before Init: the image that linked the class library).
    HINSTANCE ModuleInstance() const noexcept { return instance_; }
    HINSTANCE ResourceInstance() const noexcept { return instance_; }
    // The module file's full path, e.g. for %MODULE% and the type library.
    std::wstring ModulePath() const;
    const GUID& TypeLibId() const noexcept { return libid_; }
    const std::vector<ObjectMapEntry>& ObjectMap() const noexcept { return map_; }

    // DllGetClassObject: the class object of `clsid`, created once on first demand.
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) noexcept;
    // DllCanUnloadNow: S_OK when no object and no server lock lives, else S_FALSE. The objects this thread
    // parked after a call out (SelfHold.h) are released first.
    HRESULT CanUnloadNow() noexcept;
    // DllRegisterServer: every entry's script and categories in map order, stopping at the first failure,
    // then the type library when `withTypeLib`.
    HRESULT RegisterServer(bool withTypeLib) noexcept;
    // DllUnregisterServer: every entry's script and categories removed, then the type library; failures of
    // single steps are ignored so that as much as possible goes, and the answer is S_OK.
    HRESULT UnregisterServer(bool withTypeLib) noexcept;
    // Runs the registry script resource `scriptId` of this module with %MODULE% set to the module path.
    HRESULT UpdateRegistryFromResource(UINT scriptId, bool doRegister) noexcept;

    // The DllMain of a server DLL without an application object of its own: Init on process attach (with
    // thread notifications off), Term on detach.
    static BOOL DllMain(HINSTANCE instance, DWORD reason, const ObjectMapEntry* staticMap,
                        const GUID& libid) noexcept;

    ModuleTypeLibrary& TypeLibrary() noexcept { return typeLibrary_; }
    CriticalSection& WindowCreationLock() noexcept { return windowCreationLock_; }
    HRESULT AddTermFunc(TermFn fn, DWORD_PTR data) noexcept;

private:
    ComModule() noexcept;
    ~ComModule() = default;

    volatile LONG lockCount_ = 0;
    HINSTANCE instance_;
    GUID libid_ = GUID_NULL;
    std::vector<ObjectMapEntry> map_;
    std::vector<std::pair<TermFn, DWORD_PTR>> termFuncs_;
    CriticalSection objectMapLock_;
    CriticalSection windowCreationLock_;
    ModuleTypeLibrary typeLibrary_;  // holds the type-information lock
};

}  // namespace ql
