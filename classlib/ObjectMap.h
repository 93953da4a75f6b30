#pragma once
// Object-map entries: what the module knows of each creatable class, and the self-registered list through
// which each class's static initialiser announces its entry before the module starts.
//
//   // in one translation unit, in registration order:
//   ql::AutoObjectEntry autoFoo(ql::MakeObjectEntry(CLSID_Foo, &ql::UpdateRegistryFromScript<IDR_FOO>,
//                                                   &ql::CreateInstance<CFoo>));
//
// The list reads from its head, so it holds the entries in the reverse order of their initialisers; the
// module joins it behind its static map (ComModule::Init).
#include <comcat.h>
#include <windows.h>

#include "classlib/ComPtr.h"

namespace ql {

using CreateInstanceFn = HRESULT (*)(IUnknown* outer, REFIID iid, void** out) noexcept;
using CreateClassObjectFn = HRESULT (*)(CreateInstanceFn createInstance, REFIID iid, void** out) noexcept;
using UpdateRegistryFn = HRESULT (*)(BOOL doRegister) noexcept;
using DescriptionFn = const wchar_t* (*)() noexcept;
using ObjectMainFn = void (*)(bool starting) noexcept;

// One implemented component category of a class; a map ends with a null `catid`.
struct CategoryMapEntry {
    const CATID* catid;
};
using CategoryMapFn = const CategoryMapEntry* (*)() noexcept;

// The nine fields of an entry, in the order the module keeps them. An entry with a null `clsid` ends a map.
struct ObjectMapEntry {
    const CLSID* clsid;
    UpdateRegistryFn updateRegistry;
    CreateClassObjectFn createClassObject;
    CreateInstanceFn createInstance;
    ComPtr<IUnknown> classObject;  // created on first demand, released when the module ends
    DWORD registerCookie;
    DescriptionFn description;  // an entry whose description is a text is left to other registration
    CategoryMapFn categoryMap;  // null: no categories
    ObjectMainFn objectMain;    // called with true at module start and false at module end
};

// An entry in static storage, linked into the self-registered list by its constructor.
class AutoObjectEntry {
public:
    explicit AutoObjectEntry(ObjectMapEntry entry) noexcept;
    AutoObjectEntry(const AutoObjectEntry&) = delete;
    AutoObjectEntry& operator=(const AutoObjectEntry&) = delete;

    const ObjectMapEntry& Entry() const noexcept { return entry_; }
    const AutoObjectEntry* Next() const noexcept { return next_; }
    // The entry linked last; null before any static initialiser ran.
    static const AutoObjectEntry* Head() noexcept;

private:
    ObjectMapEntry entry_;
    const AutoObjectEntry* next_;
};

// A description function for classes registered by their own script (every class of this system).
const wchar_t* NoDescription() noexcept;
// An object-main hook that does nothing.
void NoObjectMain(bool starting) noexcept;
// The creation function of a class that is not available yet: nulls `out` and answers E_NOTIMPL.
HRESULT CreateNotImplemented(IUnknown* outer, REFIID iid, void** out) noexcept;

// An entry served by the standard class factory (ClassFactory::Create), without description.
ObjectMapEntry MakeObjectEntry(const CLSID& clsid, UpdateRegistryFn updateRegistry,
                               CreateInstanceFn createInstance, CategoryMapFn categoryMap = nullptr) noexcept;

// Runs the module's registry script resource `ScriptId` (type "REGISTRY") for registration or removal.
HRESULT UpdateRegistryFromResource(UINT scriptId, bool doRegister) noexcept;
template <UINT ScriptId>
HRESULT UpdateRegistryFromScript(BOOL doRegister) noexcept {
    return UpdateRegistryFromResource(ScriptId, doRegister != FALSE);
}

}  // namespace ql
