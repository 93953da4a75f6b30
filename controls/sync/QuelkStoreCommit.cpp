// A control's value moved onward, one parameter at a time: stored into the DTM's dataset, or handed to
// the dataset's synchronous write (the device while the DTM is online); Apply commits every modified row.
// After a store or commit the parameter's rows take the record's access word as their state.
#include <ocidl.h>

#include "classlib/Variant.h"
#include "controls/base/ControlArguments.h"
#include "controls/base/QuelkControlBase.h"
#include "controls/base/QuelkCyclicTimer.h"
#include "controls/sync/CommitChecks.h"
#include "dataset/VariableFields.h"
#include "values/VariantConversion.h"

HRESULT CQuelkControlBase::StoreControlValue(ULONG id) noexcept {
    ql::Variant value;
    const HRESULT prepared = PrepareCommitValue(*this, id, m_variables.Get(), value.Get());
    if (prepared != S_OK) return prepared;
    QL_RETURN_IF_FAILED(m_variables->SetValue(*UlongArgument(id), *value));
    return ApplyRecordState(*this, id);
}

HRESULT CQuelkControlBase::CommitParameter(ULONG id) noexcept {
    ql::ComPtr<IQuelkVariablesEx> store;
    (void)QueryDtm(store);  // a DTM without it is refused after the row checks
    ql::Variant value;
    const HRESULT prepared = PrepareCommitValue(*this, id, store.Get(), value.Get());
    if (prepared != S_OK) return prepared;
    VARIANT_BOOL written = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(store->WriteToDevice(id, *value, &written));
    // The control keeps the text the user entered; only the state follows the dataset.
    if (written != VARIANT_TRUE) return S_FALSE;
    return ApplyRecordState(*this, id);
}

HRESULT ApplyRecordState(CQuelkControlBase& control, ULONG id) noexcept {
    ULONG access = 0;
    QL_RETURN_IF_FAILED(control.GetParameterState(id, &access));
    return control.SetStateById(id, access);
}

HRESULT PrepareCommitValue(CQuelkControlBase& control, ULONG id, const IUnknown* link, VARIANT* value,
                           ULONG* accessWord) noexcept {
    const int row = control.FindParamRow(id);
    QL_RETURN_HR_IF(E_INVALIDARG, row < 0);
    // Nothing is asked of the DTM for a row that did not load, not even whether there is one.
    if (control.Row(static_cast<UINT>(row)).state & kRowNotLoaded) return S_FALSE;
    QL_RETURN_HR_IF(E_POINTER, !link);
    ULONG access = 0;
    QL_RETURN_IF_FAILED(control.GetParameterState(id, &access));
    if (accessWord) *accessWord = access;
    if (!(control.Row(static_cast<UINT>(row)).state & kRowWritable) || !(access & kRowWritable))
        return S_FALSE;
    // S_FALSE from the reader counts as read; the check below decides.
    QL_RETURN_IF_FAILED(control.ReadParameterDisplayByID(id, value));
    // A control hands what it holds (a list's code is a 32-bit number): the value leaves in the record's
    // own type, so the device receives the record's length.
    VARTYPE type = VT_EMPTY;
    if (V_VT(value) != VT_EMPTY && SUCCEEDED(control.GetParameterType(id, &type)) && type != VT_EMPTY &&
        V_VT(value) != type) {
        QL_RETURN_IF_FAILED(ConvertVariantType(value, value, type, 0, 0));
    }
    VARIANT_BOOL valid = VARIANT_FALSE;
    // A validation that fails leaves `valid` false: the value is not committed.
    (void)control.ValidateParameter(id, &valid);
    return valid ? S_OK : S_FALSE;
}

HRESULT CQuelkControlBase::ApplyModifiedRows() noexcept {
    QL_RETURN_IF_FAILED(FocusFirstInvalidControl());
    // Each row's state is read when the walk reaches it: a commit refreshes every row of its parameter.
    HRESULT firstFailure = S_OK;
    for (UINT row = 0; row < m_rowCount; ++row) {
        if (!(m_rows[row].state & kRowModified)) continue;
        const HRESULT hr = CommitParameter(m_rows[row].id);
        if (FAILED(hr) && SUCCEEDED(firstFailure)) firstFailure = hr;
    }
    // A page whose value did not arrive stays dirty, so OK or Apply can be tried again.
    QL_RETURN_IF_FAILED(firstFailure);
    (void)SetDirty(FALSE);
    return S_OK;
}

BOOL CQuelkControlBase::SetDirty(BOOL dirty) noexcept {
    const BOOL normalized = dirty ? TRUE : FALSE;
    if (m_dirty == normalized) return m_dirty;
    m_dirty = normalized;
    NotifyPageStatus(m_dirty ? (PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE) : 0);
    return m_dirty;
}

HRESULT CQuelkControlBase::EnableDtmFunction(ULONG functionId, BOOL enabled) noexcept {
    ql::ComPtr<IQuelkFunctions> functions;
    if (FAILED(QueryDtm(functions)) || !functions) return E_NOINTERFACE;
    return functions->SetFunctionEnabled(functionId, enabled);
}

HRESULT CQuelkControlBase::ReleaseDtmAndTimer(VARIANT_BOOL* done, ULONG functionId,
                                              CQuelkCyclicTimer& timer) noexcept {
    timer.Stop();
    // Before the link goes: the switch needs it. A failed switch does not stop the release.
    (void)EnableDtmFunction(functionId, m_dtmState == kStateConnected ? TRUE : FALSE);
    return CQuelkControlBase::ReleaseDtm(done);
}
