#include "classlib/ClassFactory.h"

#include <new>

#include "classlib/ComObject.h"
#include "classlib/HResult.h"

namespace ql {

namespace {
// The reference the module keeps; any beyond it is a caller's.
constexpr ULONG kModuleReference = 1;
}  // namespace

HRESULT ClassFactory::Create(CreateInstanceFn createInstance, REFIID iid, void** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    QL_RETURN_HR_IF(E_INVALIDARG, createInstance == nullptr);
    auto* factory = new (std::nothrow) ClassFactory(createInstance);
    if (!factory) return E_OUTOFMEMORY;
    factory->AddRef();
    const HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();  // deletes the factory when the query failed
    return hr;
}

HRESULT ClassFactory::QueryInterface(REFIID iid, void** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    AddRef();
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
}

ULONG ClassFactory::AddRef() noexcept {
    CriticalSectionHold hold(lock_);
    if (++refs_ == kModuleReference + 1) LockModule();
    return refs_;
}

ULONG ClassFactory::Release() noexcept {
    ULONG left;
    {
        CriticalSectionHold hold(lock_);
        left = --refs_;
        if (left == kModuleReference) UnlockModule();
    }
    if (left == 0) delete this;
    return left;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    // COM: an outer object must ask for the inner IUnknown, the only interface it may hold of it.
    if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    return createInstance_(outer, iid, out);
}

HRESULT ClassFactory::LockServer(BOOL lock) noexcept {
    if (lock)
        LockModule();
    else
        UnlockModule();
    return S_OK;
}

}  // namespace ql
