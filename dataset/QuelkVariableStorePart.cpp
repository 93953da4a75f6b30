// The u32 forms of IQuelkVariablesEx and the slots of IQuelkVariables without an id, over the store.
#include "dataset/QuelkVariableStorePart.h"

CQuelkVariableStorePart::CQuelkVariableStorePart(ql::PartOwner& owner) noexcept : ql::MemberPart(owner) {
    // Hooks receive this interface; the owning object keeps the reference count, so none is held here.
    store_.AttachHookInterface(static_cast<IQuelkVariablesEx*>(this));
}

HRESULT CQuelkVariableStorePart::InitNewValues(VARIANT_BOOL* done) noexcept {
    return store_.InitNewValues(done);
}

HRESULT CQuelkVariableStorePart::LoadValues(IStream* stream, VARIANT_BOOL* ok) noexcept {
    IDatasetHost* host = store_.Host();
    return host ? host->LoadValues(stream, ok) : E_NOTIMPL;
}

HRESULT CQuelkVariableStorePart::SaveValues(IStream* stream, VARIANT_BOOL* ok) noexcept {
    IDatasetHost* host = store_.Host();
    return host ? host->SaveValues(stream, ok) : E_NOTIMPL;
}

// The frame's request text plays no part in the transfer.
HRESULT CQuelkVariableStorePart::UploadParameters(BSTR /*text*/, VARIANT_BOOL* ok) noexcept {
    IDatasetHost* host = store_.Host();
    return host ? host->UploadParameters(ok) : E_NOTIMPL;
}

HRESULT CQuelkVariableStorePart::DownloadParameters(BSTR /*text*/, VARIANT_BOOL* ok) noexcept {
    IDatasetHost* host = store_.Host();
    return host ? host->DownloadParameters(ok) : E_NOTIMPL;
}

HRESULT CQuelkVariableStorePart::RequestStop(VARIANT_BOOL* wasRunning) noexcept {
    return store_.RequestStop(wasRunning);
}

HRESULT CQuelkVariableStorePart::ReadFromDeviceAsync(ULONG id, VARIANT_BOOL* sent) noexcept {
    return store_.ReadFromDeviceAsync(id, sent);
}

HRESULT CQuelkVariableStorePart::WriteToDeviceAsync(ULONG id, VARIANT value, VARIANT_BOOL* sent) noexcept {
    return store_.WriteToDeviceAsync(id, value, sent);
}

HRESULT CQuelkVariableStorePart::GetVariableInfo(ULONG id, VARIANT* value, BSTR* name, VARTYPE* type,
                                                 VARIANT* minValue, VARIANT* maxValue, VARIANT* defaultValue,
                                                 ULONG* access) noexcept {
    return store_.GetVariableInfo(id, value, name, type, minValue, maxValue, defaultValue, access);
}

HRESULT CQuelkVariableStorePart::OnDeviceResult(VARIANT_BOOL ok, ULONG id, VARIANT value,
                                                BSTR errorText) noexcept {
    return store_.OnDeviceResult(ok, id, value, errorText);
}

HRESULT CQuelkVariableStorePart::SetAddress(ULONG id, VARIANT address) noexcept {
    return store_.SetAddress(id, address);
}

HRESULT CQuelkVariableStorePart::GetAddress(ULONG id, VARIANT* address) noexcept {
    return store_.GetAddress(id, address);
}

HRESULT CQuelkVariableStorePart::ChangeValue(ULONG id, VARIANT* value, ULONG* access) noexcept {
    return store_.ChangeValue(id, value, access);
}

HRESULT CQuelkVariableStorePart::GetValue(ULONG id, VARIANT* value) noexcept {
    return store_.GetValue(id, value);
}

HRESULT CQuelkVariableStorePart::SetValue(ULONG id, VARIANT value) noexcept {
    return store_.SetValue(id, value);
}

HRESULT CQuelkVariableStorePart::GetDeviceFlag(ULONG id, ULONG* flag) noexcept {
    return store_.GetDeviceFlag(id, flag);
}

HRESULT CQuelkVariableStorePart::ReadFromDevice(ULONG id, VARIANT_BOOL* result) noexcept {
    return store_.ReadFromDevice(id, result);
}

HRESULT CQuelkVariableStorePart::WriteToDevice(ULONG id, VARIANT value, VARIANT_BOOL* result) noexcept {
    return store_.WriteToDevice(id, value, result);
}

HRESULT CQuelkVariableStorePart::GetCount(ULONG* count) noexcept { return store_.GetCount(count); }

HRESULT CQuelkVariableStorePart::GetVariableAt(INT index, ULONG* id) noexcept {
    return store_.GetVariableAt(index, id);
}

HRESULT CQuelkVariableStorePart::RunUpdateRule(ULONG id, ULONG flags) noexcept {
    return store_.RunUpdateRule(id, flags);
}

HRESULT CQuelkVariableStorePart::ParseUpdateRule(ULONG id, BSTR rule) noexcept {
    return store_.ParseUpdateRule(id, rule);
}
