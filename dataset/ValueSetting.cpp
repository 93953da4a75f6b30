// How a value enters the dataset and how the open user interfaces learn of it: SetValue, the device
// result of one read or write, the access update that ends a write, and the hook runner.
#include "QuelkInterfaces.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "dataset/QuelkVariableStore.h"
#include "values/ValueComparison.h"
#include "values/VariantConversion.h"

HRESULT CQuelkVariableStore::ConvertForRecord(const CQuelkVariable& record, const VARIANT& value,
                                              ql::Variant& converted) noexcept {
    // A caller's text of an odd byte count is no text, whatever the record: as hexadecimal digits it
    // would even read as none and empty a byte string.
    QL_RETURN_HR_IF(E_INVALIDARG, !IsWholeValue(value));
    QL_RETURN_IF_FAILED(ConvertVariantType(converted.Put(), &value, record.DataType, 0, 0));
    // What the conversion gives must still be a value every save and document can carry (a byte array of
    // other dimensions is taken by it as it stands).
    QL_RETURN_HR_IF(E_INVALIDARG, !IsStoredForm(*converted, record.DataType));
    return S_OK;
}

HRESULT CQuelkVariableStore::ConvertForRecord(ULONG id, const VARIANT& value,
                                              ql::Variant& converted) const noexcept {
    const CQuelkVariable* record = variables_.Find(id);
    QL_RETURN_HR_IF(E_INVALIDARG, id == kInvalidParameterId || record == nullptr);
    return ConvertForRecord(*record, value, converted);
}

HRESULT CQuelkVariableStore::SetValue(ULONG id, const VARIANT& value) noexcept {
    bool stored = false;
    return SetValue(id, value, &stored);
}

HRESULT CQuelkVariableStore::SetValue(ULONG id, const VARIANT& value, bool* stored) noexcept {
    *stored = false;
    QL_RETURN_HR_IF(E_INVALIDARG, id == kInvalidParameterId);
    const CQuelkVariable* record = variables_.Find(id);
    QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
    const bool persistent = record->Persistent == 1;
    const ULONG access = record->Access;

    ql::Variant converted;
    QL_RETURN_IF_FAILED(ConvertForRecord(*record, value, converted));

    // An unchanged value is still announced, so that pages showing something else show the dataset again.
    if (IsVariantEqual(*record->Value, *converted)) return BroadcastPair(kNotifyValueChanged, id, *converted);

    // Under the online transfer mark the page that set the mark collects the device's value itself; the
    // dataset stays as it is.
    if (access & kAccessOnlineTransferMark) return BroadcastPair(kNotifyDeviceValue, id, value);

    QL_RETURN_HR_IF(E_POINTER, hookInterface_ == nullptr);
    QL_RETURN_IF_FAILED(RunHook(id, kHookBeforeSetValue));
    CQuelkVariable change;
    QL_RETURN_IF_FAILED(change.Value.CopyFrom(*converted));
    QL_RETURN_IF_FAILED(variables_.SetVariable(id, kFieldValue, change));
    *stored = true;

    // The value is stored from here on. A persistent change is marked even when announcing it fails, so
    // that it is never lost to the next save; the failure is still returned and the update rule skipped.
    HRESULT hr = RunHook(id, kHookAfterSetValue);
    if (SUCCEEDED(hr)) hr = BroadcastPair(kNotifyValueChanged, id, *converted);
    if (persistent && host_) {
        const HRESULT marked = host_->SetModified(true);
        if (SUCCEEDED(hr) && FAILED(marked)) hr = marked;
    }
    QL_RETURN_IF_FAILED(hr);
    QL_RETURN_IF_FAILED(RunUpdateRule(id, kUpdateRuleOnChange));
    return S_OK;
}

HRESULT CQuelkVariableStore::OnDeviceResult(VARIANT_BOOL ok, ULONG id, const VARIANT& value,
                                            BSTR errorText) noexcept {
    if (ok) {
        lastResultOk_ = true;
        const CQuelkVariable* record = variables_.Find(id);
        QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
        const ULONG access = record->Access;
        // A comparison with the device reads into the compare value; the dataset is not touched.
        if (access & kAccessCompareMark) return compareValue_.CopyFrom(value);
        QL_RETURN_IF_FAILED(SetValue(id, value));
        return NotifyParameterWritten(id, access & ~kAccessDiffers);
    }

    lastResultOk_ = false;
    QL_RETURN_IF_FAILED(lastResultText_.AssignCopy(errorText));
    if (host_) QL_RETURN_IF_FAILED(host_->BroadcastMessage(id, errorText, value));
    // Giving the dataset value back to SetValue finds it equal and announces it, so that the pages show
    // the dataset value again instead of what the user tried. Its outcome changes nothing here.
    ql::Variant datasetValue;
    if (SUCCEEDED(GetValue(id, datasetValue.Get()))) (void)SetValue(id, *datasetValue);
    return S_OK;
}

HRESULT CQuelkVariableStore::NotifyParameterWritten(ULONG id, ULONG access) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, id == kInvalidParameterId);
    // Under the online transfer mark the page that set it keeps the access word; it only learns that the
    // transfer of this parameter has finished.
    if (access & kAccessOnlineTransferMark) {
        ql::Variant idVariant;
        idVariant.SetUI4(id);
        return Broadcast(kNotifyDeviceWritten, *idVariant);
    }
    return SetAccessAndNotify(id, access);
}

HRESULT CQuelkVariableStore::RunHook(ULONG id, int event) noexcept {
    QL_RETURN_HR_IF(E_POINTER, hookInterface_ == nullptr);
    // Held for the call: a hook may release the last outside reference to the object.
    const ql::ComPtr<IQuelkVariablesEx> store(hookInterface_);
    return variables_.RunHook(id, event, store.Get());
}
