#include "classlib/CoClassDispatch.h"

#include "classlib/ComModule.h"
#include "classlib/HResult.h"
#include "classlib/InvokeArguments.h"
#include "classlib/TypeAttr.h"

namespace ql {

namespace {

HRESULT DescribedGuid(ITypeInfo* info, GUID& out) noexcept {
    const TypeAttr attr(info);
    QL_RETURN_IF_FAILED(attr.Status());
    out = attr->guid;
    return S_OK;
}

// Whether the vtable description `info` is an interface derived straight from IDispatch with no method of its
// own, whose vtable this IDispatch can stand for.
bool IsBareDispatchInterface(ITypeInfo* info) noexcept {
    const TypeAttr attr(info);
    if (!attr || attr->typekind != TKIND_INTERFACE || attr->cFuncs != 0 || attr->cImplTypes != 1)
        return false;
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> base;
    GUID baseId = GUID_NULL;
    return SUCCEEDED(info->GetRefTypeOfImplType(0, &reference)) &&
           SUCCEEDED(info->GetRefTypeInfo(reference, base.Put())) &&
           SUCCEEDED(DescribedGuid(base.Get(), baseId)) && IsEqualIID(baseId, IID_IDispatch);
}

}  // namespace

HRESULT CoClassDefaultInterface(ITypeInfo* coclass, ComPtr<ITypeInfo>& out) noexcept {
    out.Reset();
    QL_RETURN_HR_IF(E_POINTER, !coclass);
    const TypeAttr attr(coclass);
    QL_RETURN_IF_FAILED(attr.Status());
    QL_RETURN_HR_IF(TYPE_E_ELEMENTNOTFOUND, attr->typekind != TKIND_COCLASS);
    for (UINT i = 0; i < attr->cImplTypes; ++i) {
        INT flags = 0;
        QL_RETURN_IF_FAILED(coclass->GetImplTypeFlags(i, &flags));
        if ((flags & IMPLTYPEFLAG_FDEFAULT) == 0 || (flags & IMPLTYPEFLAG_FSOURCE) != 0) continue;
        HREFTYPE reference = 0;
        QL_RETURN_IF_FAILED(coclass->GetRefTypeOfImplType(i, &reference));
        return coclass->GetRefTypeInfo(reference, out.Put());
    }
    return TYPE_E_ELEMENTNOTFOUND;
}

HRESULT CoClassDispatch::Resolve() noexcept {
    if (resolved_) return resolution_;
    resolution_ = [&]() -> HRESULT {
        ComModule& module = ComModule::Instance();
        ComPtr<ITypeInfo> coclass;
        QL_RETURN_IF_FAILED(
            module.TypeLibrary().GetTypeInfo(module.ModuleInstance(), classId_, coclass.Put()));
        ComPtr<ITypeInfo> implemented;
        QL_RETURN_IF_FAILED(CoClassDefaultInterface(coclass.Get(), implemented));
        IID iid = IID_NULL;
        QL_RETURN_IF_FAILED(DescribedGuid(implemented.Get(), iid));
        ComPtr<ITypeInfo> info;
        QL_RETURN_IF_FAILED(module.TypeLibrary().GetTypeInfo(module.ModuleInstance(), iid, info.Put()));
        QL_RETURN_HR_IF(E_NOINTERFACE, !IsBareDispatchInterface(info.Get()));
        interfaceId_ = iid;
        info_ = info;
        return S_OK;
    }();
    resolved_ = true;
    return resolution_;
}

HRESULT CoClassDispatch::QueryCoClassInterface(REFIID iid, void** out) noexcept {
    if (FAILED(Resolve())) return E_NOINTERFACE;
    if (!IsEqualIID(iid, IID_IDispatch) && !IsEqualIID(iid, interfaceId_)) return E_NOINTERFACE;
    IDispatch* dispatch = this;
    dispatch->AddRef();
    *out = dispatch;
    return S_OK;
}

HRESULT CoClassDispatch::GetTypeInfoCount(UINT* count) noexcept {
    QL_RETURN_IF_NULL_OUT(count);
    *count = 1;
    return S_OK;
}

HRESULT CoClassDispatch::GetTypeInfo(UINT index, LCID, ITypeInfo** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    QL_RETURN_HR_IF(DISP_E_BADINDEX, index != 0);
    QL_RETURN_IF_FAILED(Resolve());
    return info_.CopyTo(out);
}

HRESULT CoClassDispatch::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept {
    QL_RETURN_HR_IF(DISP_E_UNKNOWNINTERFACE, !IsEqualIID(iid, IID_NULL));
    QL_RETURN_IF_FAILED(Resolve());
    return info_->GetIDsOfNames(names, count, ids);
}

HRESULT CoClassDispatch::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO* exception, UINT* argumentError) noexcept {
    QL_RETURN_HR_IF(DISP_E_UNKNOWNINTERFACE, !IsEqualIID(iid, IID_NULL));
    QL_RETURN_IF_FAILED(CheckInvokeArguments(params, argumentError));
    QL_RETURN_IF_FAILED(Resolve());
    // The interface has no member, so no DISPID reaches a vtable slot: the description answers every call.
    return info_->Invoke(static_cast<IDispatch*>(this), id, flags, params, result, exception, argumentError);
}

}  // namespace ql
