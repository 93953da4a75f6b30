#pragma once
// The class object of every creatable class: IClassFactory over the class's creation function.
//
// The module keeps one reference to each class object it created (ObjectMapEntry::classObject); while anyone
// else holds one too, the factory holds a module lock, so the module does not unload under a caller that
// keeps the factory. LockServer adds and removes module locks as COM prescribes.
// Threading: one class object serves every apartment of the process, so its count is guarded by a lock.
#include <unknwn.h>
#include <windows.h>

#include "classlib/CriticalSection.h"
#include "classlib/ObjectMap.h"

namespace ql {

class ClassFactory final : public IClassFactory {
public:
    // The CreateClassObjectFn of object-map entries.
    static HRESULT Create(CreateInstanceFn createInstance, REFIID iid, void** out) noexcept;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override;

private:
    explicit ClassFactory(CreateInstanceFn createInstance) noexcept : createInstance_(createInstance) {}
    ~ClassFactory() = default;

    CriticalSection lock_;
    ULONG refs_ = 0;
    const CreateInstanceFn createInstance_;
};

}  // namespace ql
