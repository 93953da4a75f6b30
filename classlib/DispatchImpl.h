#pragma once
// IDispatch for a dual interface, answered through the interface's ITypeInfo, which calls the vtable
// method, once the caller's arguments have passed the check that the platform's copy of them needs
// (CheckInvokeArguments). The type information comes from the module's type library (TYPELIB resource 1 of
// the module file), or, for an interface that another party's library describes, from that registered library
// (RegisteredTypeInfo); where that library is not registered, IDispatch answers its failure HRESULT and
// the vtable still works.
//
//   class CFoo : public ql::ComObjectBase<CFoo>, public ql::DispatchImpl<IFooDual> {
//       QL_INTERFACE_TABLE(CFoo, QL_ENTRY(IFooDual), QL_ENTRY_IID(IID_IDispatch, IFooDual))
//       ...
//   };
// A class with several dual interfaces derives from one DispatchImpl per interface; each interface's
// IDispatch methods then describe that interface.
#include <oaidl.h>
#include <windows.h>

#include "classlib/ComModule.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/InvokeArguments.h"

namespace ql {

// The module's own type library.
struct ModuleTypeInfo {
    static HRESULT Get(REFIID iid, ITypeInfo** out) noexcept {
        ComModule& module = ComModule::Instance();
        return module.TypeLibrary().GetTypeInfo(module.ModuleInstance(), iid, out);
    }
};

// A registered library of another party, loaded by LoadRegTypeLib (`Major`.`Minor` or a later minor
// version; `Lcid`, its primary language or neutral).
template <const GUID& Libid, WORD Major, WORD Minor, LCID Lcid>
struct RegisteredTypeInfo {
    static HRESULT Get(REFIID iid, ITypeInfo** out) noexcept {
        return ComModule::Instance().TypeLibrary().GetRegisteredTypeInfo({Libid, Major, Minor, Lcid}, iid,
                                                                         out);
    }
};

template <class DualInterface, class TypeInfoSource = ModuleTypeInfo>
class DispatchImpl : public DualInterface {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
        QL_RETURN_IF_NULL_OUT(count);
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) noexcept override {
        QL_RETURN_IF_NULL_OUT(out);
        *out = nullptr;
        QL_RETURN_HR_IF(DISP_E_BADINDEX, index != 0);
        return LoadTypeInfo(out);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) noexcept override {
        QL_RETURN_HR_IF(DISP_E_UNKNOWNINTERFACE, !IsEqualIID(iid, IID_NULL));
        ComPtr<ITypeInfo> info;
        QL_RETURN_IF_FAILED(LoadTypeInfo(info.Put()));
        return info->GetIDsOfNames(names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) noexcept override {
        QL_RETURN_HR_IF(DISP_E_UNKNOWNINTERFACE, !IsEqualIID(iid, IID_NULL));
        QL_RETURN_IF_FAILED(CheckInvokeArguments(params, argumentError));
        ComPtr<ITypeInfo> info;
        QL_RETURN_IF_FAILED(LoadTypeInfo(info.Put()));
        return info->Invoke(static_cast<DualInterface*>(this), id, flags, params, result, exception,
                            argumentError);
    }

private:
    static HRESULT LoadTypeInfo(ITypeInfo** out) noexcept {
        return TypeInfoSource::Get(__uuidof(DualInterface), out);
    }
};

// IDispatch of a dual interface that no caller reaches late-bound (test doubles, the frame host's own
// simulated peers): the vtable is the whole contract, and every IDispatch method answers E_NOTIMPL.
template <class DualInterface>
class NoDispatchImpl : public DualInterface {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override {
        return E_NOTIMPL;
    }
};

}  // namespace ql
