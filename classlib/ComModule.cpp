#include "classlib/ComModule.h"

#include "classlib/ComObject.h"
#include "classlib/ComponentCategories.h"
#include "classlib/HResult.h"
#include "classlib/Registrar.h"
#include "classlib/SelfHold.h"

// The image that linked this code: the server DLL, or a test program.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace ql {

LONG LockModule() noexcept { return ComModule::Instance().Lock(); }
LONG UnlockModule() noexcept { return ComModule::Instance().Unlock(); }

ComModule& ComModule::Instance() noexcept {
    static ComModule module;
    return module;
}

ComModule::ComModule() noexcept : instance_(reinterpret_cast<HINSTANCE>(&__ImageBase)) {}

HRESULT ComModule::Init(const ObjectMapEntry* staticMap, HINSTANCE instance, const GUID& libid) noexcept {
    return GuardComCall([&]() -> HRESULT {
        std::vector<ObjectMapEntry> map;
        for (const ObjectMapEntry* entry = staticMap; entry && entry->clsid; ++entry) map.push_back(*entry);
        for (const AutoObjectEntry* link = AutoObjectEntry::Head(); link; link = link->Next())
            map.push_back(link->Entry());
        {
            CriticalSectionHold hold(objectMapLock_);
            map_ = std::move(map);
        }
        instance_ = instance;
        libid_ = libid;
        for (const ObjectMapEntry& entry : map_) {
            if (entry.objectMain) entry.objectMain(true);
        }
        return S_OK;
    });
}

BOOL ComModule::DllMain(HINSTANCE instance, DWORD reason, const ObjectMapEntry* staticMap,
                        const GUID& libid) noexcept {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            ::DisableThreadLibraryCalls(instance);
            return SUCCEEDED(Instance().Init(staticMap, instance, libid));
        case DLL_PROCESS_DETACH:
            Instance().Term();
            break;
        default:
            break;
    }
    return TRUE;
}

void ComModule::Term() noexcept {
    std::vector<ObjectMapEntry> map;
    {
        CriticalSectionHold hold(objectMapLock_);
        map.swap(map_);
    }
    for (ObjectMapEntry& entry : map) {
        entry.classObject.Reset();
        if (entry.objectMain) entry.objectMain(false);
    }
    typeLibrary_.Clear();
    while (!termFuncs_.empty()) {
        const auto [fn, data] = termFuncs_.back();
        termFuncs_.pop_back();
        fn(data);
    }
}

std::wstring ComModule::ModulePath() const { return ModuleFilePath(instance_); }

HRESULT ComModule::CanUnloadNow() noexcept {
    // An object let go inside one of its calls out is gone once the thread is out of every call.
    ReleaseParkedObjects();
    return lockCount_ == 0 ? S_OK : S_FALSE;
}

HRESULT ComModule::GetClassObject(REFCLSID clsid, REFIID iid, void** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    ComPtr<IUnknown> classObject;
    {
        // Under the lock, so that two threads asking at once get the same class object.
        CriticalSectionHold hold(objectMapLock_);
        ObjectMapEntry* found = nullptr;
        for (ObjectMapEntry& entry : map_) {
            if (entry.createClassObject && IsEqualCLSID(*entry.clsid, clsid)) {
                found = &entry;
                break;
            }
        }
        if (!found) return CLASS_E_CLASSNOTAVAILABLE;
        if (!found->classObject) {
            QL_RETURN_IF_FAILED(
                found->createClassObject(found->createInstance, IID_IUnknown, found->classObject.PutVoid()));
        }
        classObject = found->classObject;
    }
    return classObject->QueryInterface(iid, out);
}

namespace {
bool HasDescription(const ObjectMapEntry& entry) noexcept { return entry.description && entry.description(); }
const CategoryMapEntry* CategoriesOf(const ObjectMapEntry& entry) noexcept {
    return entry.categoryMap ? entry.categoryMap() : nullptr;
}
}  // namespace

HRESULT ComModule::RegisterServer(bool withTypeLib) noexcept {
    for (const ObjectMapEntry& entry : map_) {
        if (HasDescription(entry)) continue;
        if (entry.updateRegistry) QL_RETURN_IF_FAILED(entry.updateRegistry(TRUE));
        QL_RETURN_IF_FAILED(RegisterClassCategories(*entry.clsid, CategoriesOf(entry), true));
    }
    return withTypeLib ? typeLibrary_.Register(instance_) : S_OK;
}

HRESULT ComModule::UnregisterServer(bool withTypeLib) noexcept {
    for (const ObjectMapEntry& entry : map_) {
        if (HasDescription(entry)) continue;
        // Unregistering removes what it can: a key already gone is no failure, and one class whose keys
        // cannot be removed must not keep the others registered.
        if (entry.updateRegistry) (void)entry.updateRegistry(FALSE);
        (void)RegisterClassCategories(*entry.clsid, CategoriesOf(entry), false);
    }
    if (withTypeLib) (void)typeLibrary_.Unregister(instance_);
    return S_OK;
}

HRESULT ComModule::UpdateRegistryFromResource(UINT scriptId, bool doRegister) noexcept {
    return GuardComCall([&] { return RunRegistryScriptResource(ModulePath(), scriptId, doRegister); });
}

HRESULT ComModule::AddTermFunc(TermFn fn, DWORD_PTR data) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, fn == nullptr);
    return GuardComCall([&] {
        termFuncs_.emplace_back(fn, data);
        return S_OK;
    });
}

}  // namespace ql
