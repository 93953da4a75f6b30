// Device access of one parameter: what the store checks and does around a DP-V1 read or write, and how a
// write is taken into the dataset when it does not go to the device.
#include "classlib/HResult.h"
#include "dataset/QuelkVariableStore.h"

namespace {

bool Has(ULONG word, ULONG bits) noexcept { return (word & bits) == bits; }

// The record fields the device operations decide by, read once before anything is done.
struct DeviceTarget {
    bool isDevice = false;
    ULONG access = 0;
};

HRESULT FindTarget(const CQuelkVariableList& variables, ULONG id, DeviceTarget* target) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, id == kInvalidParameterId);
    const CQuelkVariable* record = variables.Find(id);
    QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
    target->isDevice = record->IsDeviceParameter == 1;
    target->access = record->Access;
    return S_OK;
}

}  // namespace

HRESULT CQuelkVariableStore::ReadFromDeviceAsync(ULONG id, VARIANT_BOOL* sent) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, sent == nullptr);
    *sent = VARIANT_FALSE;
    DeviceTarget target;
    QL_RETURN_IF_FAILED(FindTarget(variables_, id, &target));
    if (!target.isDevice || !Has(target.access, kAccessReadable)) return S_OK;
    QL_RETURN_HR_IF(E_FAIL, device_ == nullptr);
    return device_->ReadParameterAsync(id, sent);
}

HRESULT CQuelkVariableStore::WriteToDeviceAsync(ULONG id, const VARIANT& value, VARIANT_BOOL* sent) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, sent == nullptr);
    *sent = VARIANT_FALSE;
    DeviceTarget target;
    QL_RETURN_IF_FAILED(FindTarget(variables_, id, &target));
    const bool writesToDevice = target.isDevice && Has(target.access, kAccessDeviceWritable);
    bool online = false;
    if (writesToDevice) QL_RETURN_IF_FAILED(IsOnline(&online));
    if (writesToDevice && online) {
        QL_RETURN_HR_IF(E_FAIL, device_ == nullptr);
        return device_->WriteParameterAsync(id, value, sent);
    }

    // Not written to the device: the value is checked, marked and stored in the dataset; a device
    // parameter keeps 0x02 until a later transfer brings the value into the device.
    VARIANT_BOOL done = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(CheckAndMark(id, value, &done));
    QL_RETURN_HR_IF(E_FAIL, done != VARIANT_TRUE);
    const CQuelkVariable* record = variables_.Find(id);
    QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
    const ULONG access =
        writesToDevice ? (record->Access | kAccessDiffers) : (record->Access & ~kAccessDiffers);
    QL_RETURN_IF_FAILED(SetAccessAndNotify(id, access));
    *sent = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkVariableStore::ReadFromDevice(ULONG id, VARIANT_BOOL* result) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, result == nullptr);
    *result = VARIANT_FALSE;
    DeviceTarget target;
    QL_RETURN_IF_FAILED(FindTarget(variables_, id, &target));
    if (!target.isDevice || !Has(target.access, kAccessReadable)) return S_OK;
    QL_RETURN_HR_IF(E_FAIL, device_ == nullptr);
    QL_RETURN_IF_FAILED(RunHook(id, kHookBeforeRead));
    // The value itself arrives through OnDeviceResult while the read waits. S_FALSE: nothing went out
    // (offline, or the channel declined), so the read did not happen and the result stays FALSE.
    const HRESULT read = device_->ReadParameter(id);
    QL_RETURN_IF_FAILED(read);
    QL_RETURN_IF_FAILED(RunHook(id, kHookAfterRead));
    if (read == S_FALSE) return S_FALSE;
    *result = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkVariableStore::WriteToDevice(ULONG id, const VARIANT& value, VARIANT_BOOL* result) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, result == nullptr);
    *result = VARIANT_FALSE;
    DeviceTarget target;
    QL_RETURN_IF_FAILED(FindTarget(variables_, id, &target));
    const bool writesToDevice = target.isDevice && Has(target.access, kAccessDeviceWritable);
    bool online = false;
    if (writesToDevice) QL_RETURN_IF_FAILED(IsOnline(&online));
    if (writesToDevice && online) {
        QL_RETURN_HR_IF(E_FAIL, device_ == nullptr);
        QL_RETURN_IF_FAILED(RunHook(id, kHookBeforeWrite));
        // The outcome arrives through OnDeviceResult while the write waits; S_FALSE as for the read.
        const HRESULT written = device_->WriteParameter(id, value);
        QL_RETURN_IF_FAILED(written);
        QL_RETURN_IF_FAILED(RunHook(id, kHookAfterWrite));
        if (written == S_FALSE) return S_FALSE;
        *result = VARIANT_TRUE;
        return S_OK;
    }

    QL_RETURN_IF_FAILED(SetValue(id, value));
    const CQuelkVariable* record = variables_.Find(id);
    QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
    const ULONG access =
        writesToDevice ? (record->Access | kAccessDiffers) : (record->Access & ~kAccessDiffers);
    QL_RETURN_IF_FAILED(NotifyParameterWritten(id, access));
    *result = VARIANT_TRUE;
    return S_OK;
}
