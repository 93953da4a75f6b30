#pragma once
// CQuelkVariableStore: the parameter dataset of one DTM object. It owns the record list and runs every
// operation on it by u32 parameter id: the accessors, the device access of one parameter, value setting
// with its notifications, update rules and hooks, the value check and the access update. The COM
// interfaces (CQuelkVariableStorePart) are a thin layer over it.
//
// Neighbours are reached through two narrow views that the DTM object attaches: IDatasetHost (state,
// broadcasts, modified mark, frame messages, and the values image and bulk transfers the store part passes
// on) and IDatasetDeviceAccess (the DP-V1 client). Neither is owned. Without a host nothing is broadcast
// and nothing is marked; without device access every device operation answers E_FAIL.
//
// Threading: the DTM object's apartment thread only. Device reads wait while pumping messages, so other
// calls into the store can run while one is in progress (update rules guard against re-entering
// themselves).
#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "classlib/Bstr.h"
#include "classlib/Variant.h"
#include "dataset/DatasetDeviceAccess.h"
#include "dataset/DatasetHost.h"
#include "dataset/ParameterDefinition.h"
#include "dataset/QuelkVariableList.h"
#include "values/QuelkMessageSink.h"

class CQuelkVariableStore {
public:
    CQuelkVariableStore() = default;
    CQuelkVariableStore(const CQuelkVariableStore&) = delete;
    CQuelkVariableStore& operator=(const CQuelkVariableStore&) = delete;

    void AttachHost(IDatasetHost* host) noexcept { host_ = host; }
    IDatasetHost* Host() const noexcept { return host_; }
    void AttachDeviceAccess(IDatasetDeviceAccess* device) noexcept { device_ = device; }
    // The interface the records' hooks receive: the store's own IQuelkVariablesEx (not owned).
    void AttachHookInterface(IQuelkVariablesEx* store) noexcept { hookInterface_ = store; }

    CQuelkVariableList& Variables() noexcept { return variables_; }
    const CQuelkVariableList& Variables() const noexcept { return variables_; }

    // --- Definition of records (ParameterDefinition.cpp). `list` may be null (nothing is added);
    // `sink` (may be null) receives the message about an address that does not convert. A definition value
    // that does not convert marks the record (no check possible) and is no failure; a failure to add the
    // record (E_OUTOFMEMORY when memory ran out while it was made) is answered, and the list is unchanged.
    static HRESULT AddStringParameter(CQuelkVariableList* list, const ParameterDefinition& definition,
                                      CQuelkMessageSink* sink) noexcept;
    static HRESULT AddNumericParameter(CQuelkVariableList* list, const ParameterDefinition& definition,
                                       CQuelkMessageSink* sink) noexcept;
    static HRESULT AddEnumParameter(CQuelkVariableList* list, const ParameterDefinition& definition,
                                    CQuelkMessageSink* sink) noexcept;

    // --- Accessors (QuelkVariableStore.cpp).
    HRESULT GetVariableInfo(ULONG id, VARIANT* value, BSTR* name, VARTYPE* type, VARIANT* minValue,
                            VARIANT* maxValue, VARIANT* defaultValue, ULONG* access) const noexcept;
    // E_INVALIDARG for an address holding an object or a text of an odd byte count (VariantParts.h).
    HRESULT SetAddress(ULONG id, const VARIANT& address) noexcept;
    HRESULT GetAddress(ULONG id, VARIANT* address) const noexcept;
    // The quiet setter: converts and stores value and/or access word, no change test, no notification.
    // The value is converted as ChangeToStoredType does (values/VariantConversion.h); its failure stores
    // nothing.
    HRESULT ChangeValue(ULONG id, const VARIANT* value, const ULONG* access) noexcept;
    HRESULT GetValue(ULONG id, VARIANT* value) const noexcept;
    HRESULT GetDeviceFlag(ULONG id, ULONG* flag) const noexcept;
    HRESULT GetCount(ULONG* count) const noexcept;
    HRESULT GetVariableAt(int index, ULONG* id) const noexcept;
    HRESULT InitNewValues(VARIANT_BOOL* done) noexcept;
    HRESULT RequestStop(VARIANT_BOOL* wasRunning) noexcept;
    // One field selected by a single mask bit, as a VARIANT; `out`'s old content is released.
    HRESULT GetVariableField(ULONG id, ULONG mask, VARIANT* out) const noexcept;
    // One field written without SetValue's change test or notification; E_INVALIDARG for a text of an
    // odd byte count anywhere in `value`, which no field takes. The value field holds the value as SetValue
    // converts it (a failure of that conversion stores nothing); the other VARIANT fields keep a copy as
    // given, but E_INVALIDARG for a value holding an object (HoldsObject). On any failure the record keeps
    // what it held.
    HRESULT SetVariableField(ULONG id, ULONG mask, const VARIANT& value) noexcept;

    // --- Device access of one parameter (StoreDeviceAccess.cpp).
    HRESULT ReadFromDeviceAsync(ULONG id, VARIANT_BOOL* sent) noexcept;
    HRESULT WriteToDeviceAsync(ULONG id, const VARIANT& value, VARIANT_BOOL* sent) noexcept;
    HRESULT ReadFromDevice(ULONG id, VARIANT_BOOL* result) noexcept;
    HRESULT WriteToDevice(ULONG id, const VARIANT& value, VARIANT_BOOL* result) noexcept;

    // --- Value setting and notification (ValueSetting.cpp).
    // E_INVALIDARG, with nothing changed, for a text of an odd byte count, whatever the record's type.
    HRESULT SetValue(ULONG id, const VARIANT& value) noexcept;
    // `value` as SetValue would hold it in record `id`, or the failure that SetValue refuses it with (and
    // E_INVALIDARG for no such record). A write sends this, so that the device holds what the dataset takes
    // from the answer.
    HRESULT ConvertForRecord(ULONG id, const VARIANT& value, ql::Variant& converted) const noexcept;
    HRESULT OnDeviceResult(VARIANT_BOOL ok, ULONG id, const VARIANT& value, BSTR errorText) noexcept;
    HRESULT NotifyParameterWritten(ULONG id, ULONG access) noexcept;
    HRESULT RunHook(ULONG id, int event) noexcept;

    // --- Update rules (UpdateRules.cpp).
    HRESULT RunUpdateRule(ULONG id, ULONG flags) noexcept;
    HRESULT ParseUpdateRule(ULONG id, BSTR rule) noexcept;

    // --- Value check (ValueCheck.cpp).
    HRESULT CheckValue(ULONG id, const VARIANT& value, ULONG* flags) const noexcept;
    // CheckValue of a record of this store's list that the caller already holds (no search by id).
    HRESULT CheckRecordValue(const CQuelkVariable& record, const VARIANT& value, ULONG* flags) const noexcept;
    HRESULT CheckAndMark(ULONG id, const VARIANT& value, VARIANT_BOOL* done) noexcept;

    // --- Access update (AccessUpdate.cpp).
    HRESULT SetAccessAndNotify(ULONG id, ULONG access) noexcept;

    // --- Transfer and result members, read and written by the bulk transfer and the DTM object.
    bool StopRequested() const noexcept { return stopRequested_; }
    void SetStopRequested(bool requested) noexcept { stopRequested_ = requested; }
    bool TransferRunning() const noexcept { return transferRunning_; }
    void SetTransferRunning(bool running) noexcept { transferRunning_ = running; }
    bool LastResultOk() const noexcept { return lastResultOk_; }
    const ql::Bstr& LastResultText() const noexcept { return lastResultText_; }
    // The outcome of a synchronous transfer, set again by the transfer itself once its wait is over: reads
    // nested inside the wait (timers, open pages) have reported theirs to the same members meanwhile.
    HRESULT SetLastResult(bool ok, BSTR errorText) noexcept {
        lastResultOk_ = ok;
        return ok ? S_OK : lastResultText_.AssignCopy(errorText);
    }
    ULONG DataSetState() const noexcept { return dataSetState_; }
    void SetDataSetState(ULONG state) noexcept { dataSetState_ = state; }
    // The device's value of the parameter last read under the compare mark.
    ql::Variant& CompareValue() noexcept { return compareValue_; }

private:
    // SetValue that also tells, whatever its result, whether the value went into the dataset.
    HRESULT SetValue(ULONG id, const VARIANT& value, bool* stored) noexcept;
    // `value` as SetValue keeps it in `record`, or the failure that refuses it.
    static HRESULT ConvertForRecord(const CQuelkVariable& record, const VARIANT& value,
                                    ql::Variant& converted) noexcept;
    HRESULT Broadcast(ULONG code, const VARIANT& data) noexcept;
    HRESULT BroadcastPair(ULONG code, ULONG id, const VARIANT& second) noexcept;
    HRESULT IsOnline(bool* online) noexcept;
    HRESULT CheckBitEnumValue(const CQuelkVariable& record, const VARIANT& value,
                              bool* accepted) const noexcept;

    CQuelkVariableList variables_;
    IDatasetHost* host_ = nullptr;
    IDatasetDeviceAccess* device_ = nullptr;
    IQuelkVariablesEx* hookInterface_ = nullptr;

    bool stopRequested_ = false;
    bool transferRunning_ = false;
    bool lastResultOk_ = false;
    ql::Bstr lastResultText_;
    ULONG dataSetState_ = 0;
    ql::Variant compareValue_;
    // Parameters whose update rule is running; a rule never re-enters itself.
    std::vector<ULONG> runningUpdateRules_;
};
