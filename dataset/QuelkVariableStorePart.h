#pragma once
// CQuelkVariableStorePart: the variable store as the DTM object's interfaces IQuelkVariables /
// IQuelkVariablesEx (one interface pointer), IQuelkVariableFields and IQuelkValueCheck. A member part in the
// class library's sense: the complete object holds it as a member and lists its interfaces
// (QL_ENTRY_MEMBER); its IUnknown is the object's. The dispatch methods come from the module's type library.
//
// Every method is a thin layer over CQuelkVariableStore: the VARIANT forms convert the id (and any other
// number) to VT_UI4 and call the u32 form of the same slot.
//
// LoadValues and SaveValues belong to the persistence and UploadParameters / DownloadParameters to the
// transfer of the communication part: they go to the store's host (IDatasetHost), E_NOTIMPL without one.
//
// Threading: apartment-threaded like the object it is part of.
#include <windows.h>

#include "QuelkInterfaces.h"
#include "classlib/ComObject.h"
#include "idl/OutsideDispatch.h"
#include "dataset/QuelkVariableStore.h"

class CQuelkVariableStorePart : public ql::MemberPart,
                                public ToolkitDispatchImpl<IQuelkVariablesEx>,
                                public ToolkitDispatchImpl<IQuelkVariableFields>,
                                public ToolkitDispatchImpl<IQuelkValueCheck> {
    QL_MEMBER_IUNKNOWN()

public:
    explicit CQuelkVariableStorePart(ql::PartOwner& owner) noexcept;
    CQuelkVariableStorePart(const CQuelkVariableStorePart&) = delete;
    CQuelkVariableStorePart& operator=(const CQuelkVariableStorePart&) = delete;

    CQuelkVariableStore& Store() noexcept { return store_; }
    const CQuelkVariableStore& Store() const noexcept { return store_; }

    // IQuelkVariables (slots 7 to 24): the id as a VARIANT.
    HRESULT STDMETHODCALLTYPE ReadFromDeviceAsync(VARIANT id, VARIANT_BOOL* sent) noexcept override;
    HRESULT STDMETHODCALLTYPE WriteToDeviceAsync(VARIANT id, VARIANT value,
                                                 VARIANT_BOOL* sent) noexcept override;
    HRESULT STDMETHODCALLTYPE GetVariableInfo(VARIANT id, VARIANT* value, BSTR* name, VARTYPE* type,
                                              VARIANT* minValue, VARIANT* maxValue, VARIANT* defaultValue,
                                              VARIANT* access) noexcept override;
    HRESULT STDMETHODCALLTYPE OnDeviceResult(VARIANT_BOOL ok, VARIANT id, VARIANT value,
                                             BSTR errorText) noexcept override;
    HRESULT STDMETHODCALLTYPE GetAddress(VARIANT id, VARIANT* address) noexcept override;
    HRESULT STDMETHODCALLTYPE ChangeValue(VARIANT id, VARIANT* value, VARIANT* access) noexcept override;
    HRESULT STDMETHODCALLTYPE GetValue(VARIANT id, VARIANT* value) noexcept override;
    HRESULT STDMETHODCALLTYPE SetValue(VARIANT id, VARIANT value) noexcept override;
    HRESULT STDMETHODCALLTYPE SetAddress(VARIANT id, VARIANT address) noexcept override;
    HRESULT STDMETHODCALLTYPE GetDeviceFlag(VARIANT id, VARIANT* flag) noexcept override;
    HRESULT STDMETHODCALLTYPE InitNewValues(VARIANT_BOOL* done) noexcept override;
    HRESULT STDMETHODCALLTYPE LoadValues(IStream* stream, VARIANT_BOOL* ok) noexcept override;
    HRESULT STDMETHODCALLTYPE SaveValues(IStream* stream, VARIANT_BOOL* ok) noexcept override;
    HRESULT STDMETHODCALLTYPE UploadParameters(BSTR text, VARIANT_BOOL* ok) noexcept override;
    HRESULT STDMETHODCALLTYPE DownloadParameters(BSTR text, VARIANT_BOOL* ok) noexcept override;
    HRESULT STDMETHODCALLTYPE RequestStop(VARIANT_BOOL* wasRunning) noexcept override;
    HRESULT STDMETHODCALLTYPE ReadFromDevice(VARIANT id, VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE WriteToDevice(VARIANT id, VARIANT value,
                                            VARIANT_BOOL* result) noexcept override;

    // IQuelkVariablesEx (slots 25 to 40): the id as an unsigned 32-bit number.
    HRESULT STDMETHODCALLTYPE ReadFromDeviceAsync(ULONG id, VARIANT_BOOL* sent) noexcept override;
    HRESULT STDMETHODCALLTYPE WriteToDeviceAsync(ULONG id, VARIANT value,
                                                 VARIANT_BOOL* sent) noexcept override;
    HRESULT STDMETHODCALLTYPE GetVariableInfo(ULONG id, VARIANT* value, BSTR* name, VARTYPE* type,
                                              VARIANT* minValue, VARIANT* maxValue, VARIANT* defaultValue,
                                              ULONG* access) noexcept override;
    HRESULT STDMETHODCALLTYPE OnDeviceResult(VARIANT_BOOL ok, ULONG id, VARIANT value,
                                             BSTR errorText) noexcept override;
    HRESULT STDMETHODCALLTYPE SetAddress(ULONG id, VARIANT address) noexcept override;
    HRESULT STDMETHODCALLTYPE GetAddress(ULONG id, VARIANT* address) noexcept override;
    HRESULT STDMETHODCALLTYPE ChangeValue(ULONG id, VARIANT* value, ULONG* access) noexcept override;
    HRESULT STDMETHODCALLTYPE GetValue(ULONG id, VARIANT* value) noexcept override;
    HRESULT STDMETHODCALLTYPE SetValue(ULONG id, VARIANT value) noexcept override;
    HRESULT STDMETHODCALLTYPE GetDeviceFlag(ULONG id, ULONG* flag) noexcept override;
    HRESULT STDMETHODCALLTYPE ReadFromDevice(ULONG id, VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE WriteToDevice(ULONG id, VARIANT value, VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE GetCount(ULONG* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetVariableAt(INT index, ULONG* id) noexcept override;
    HRESULT STDMETHODCALLTYPE RunUpdateRule(ULONG id, ULONG flags) noexcept override;
    HRESULT STDMETHODCALLTYPE ParseUpdateRule(ULONG id, BSTR rule) noexcept override;

    // IQuelkVariableFields (slots 7 to 10).
    HRESULT STDMETHODCALLTYPE GetCountVariant(VARIANT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetVariableAtVariant(VARIANT index, VARIANT* id) noexcept override;
    HRESULT STDMETHODCALLTYPE GetVariableField(VARIANT id, VARIANT mask, VARIANT* out) noexcept override;
    HRESULT STDMETHODCALLTYPE SetVariableField(VARIANT id, VARIANT mask, VARIANT value) noexcept override;

    // IQuelkValueCheck (slots 7 and 8).
    HRESULT STDMETHODCALLTYPE CheckValue(VARIANT id, VARIANT value, ULONG* flags) noexcept override;
    HRESULT STDMETHODCALLTYPE CheckAndMark(VARIANT id, VARIANT value, VARIANT_BOOL* done) noexcept override;

private:
    CQuelkVariableStore store_;
};
