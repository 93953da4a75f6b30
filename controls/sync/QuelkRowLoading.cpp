// Rows loaded from the DTM: the hosted child controls get the DTM first, then every row its value, value
// kind, enumeration list and state; a changed parameter is shown again, and one parameter can be read from
// the device.
#include <string>

#include "classlib/Bstr.h"
#include "classlib/Variant.h"
#include "controls/base/ControlArguments.h"
#include "controls/base/QuelkControlBase.h"
#include "controls/sync/CommitChecks.h"
#include "values/AnsiText.h"

HRESULT CQuelkControlBase::UpdateControl(UINT row) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, row >= m_rowCount);
    const ULONG id = m_rows[row].id;
    ql::Variant value;
    QL_RETURN_IF_FAILED(GetParameterValue(id, value.Get()));
    QL_RETURN_IF_FAILED(FetchParameterAttributes(row));
    // The state is read before the control changes and applied last.
    ULONG state = 0;
    QL_RETURN_IF_FAILED(GetParameterState(id, &state));
    QL_RETURN_IF_FAILED(FillEnumControl(row));
    QL_RETURN_IF_FAILED(ShowValueById(id, *value));
    QL_RETURN_IF_FAILED(SetStateById(id, state));
    return S_OK;
}

HRESULT CQuelkControlBase::RefreshControl(ULONG id) noexcept {
    // No row lookup and no refill: a combo box keeps the lines of its load, only its selection follows.
    ql::Variant value;
    QL_RETURN_IF_FAILED(GetParameterValue(id, value.Get()));
    QL_RETURN_IF_FAILED(ShowValueById(id, *value));
    return ApplyRecordState(*this, id);
}

HRESULT CQuelkControlBase::LoadAllRows() noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !m_variables);
    // Cleared on every way out: a control left loading would ignore every later edit.
    ScopedFlag<BOOL> loading(m_loading);
    for (UINT row = 0; row < m_rowCount; ++row) {
        ParameterMapEntry& entry = m_rows[row];
        if (SUCCEEDED(UpdateControl(row))) {
            entry.state &= ~kRowNotLoaded;  // UpdateControl has just shown the state
            continue;
        }
        // A row that did not load is shown writable and invalid, so its "!" tells the user; the bits go
        // into the row first, so that its state mask cannot hold them back.
        entry.state = (entry.state | kRowInvalid | kRowWritable | kRowNotLoaded) & ~kRowModified;
        QL_RETURN_IF_FAILED(SetStateById(entry.id, entry.state));
    }
    return S_OK;
}

HRESULT CQuelkControlBase::InitChildControls() noexcept {
    for (UINT row = 0; row < m_rowCount; ++row) {
        const ParameterMapEntry& entry = m_rows[row];
        if (entry.controlId == 0 || !IsChildControl(entry.controlId)) continue;
        ql::ComPtr<IQuelkChildControl> child;
        QL_RETURN_HR_IF(E_UNEXPECTED, FAILED(QueryChildControl(entry.controlId, child)));
        // A child that refuses (VARIANT_FALSE) ends the handshake with the success code of its answer.
        VARIANT_BOOL ok = VARIANT_FALSE;
        HRESULT hr = child->AttachDtm(m_variables.Get(), &ok);
        if (FAILED(hr) || !ok) return hr;
        hr = child->SetParentControl(entry.controlId, owner_, &ok);
        if (FAILED(hr) || !ok) return hr;
        ql::Bstr name, format;
        QL_RETURN_IF_FAILED(AnsiToBstr(entry.name ? entry.name : "", name));
        QL_RETURN_IF_FAILED(AnsiToBstr(entry.format ? entry.format : "", format));
        hr = child->BindParameter(entry.id, name.Get(), format.Get(), &ok);
        if (FAILED(hr) || !ok) return hr;
    }
    return S_OK;
}

HRESULT CQuelkControlBase::LoadParameter(ULONG id) noexcept {
    ql::ComPtr<IQuelkVariablesEx> store;
    if (FAILED(QueryDtm(store)) || !store) return E_POINTER;
    VARIANT_BOOL done = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(store->ReadFromDevice(id, &done));
    // A read that answers S_OK without the flag did not read.
    QL_RETURN_HR_IF(E_FAIL, done != VARIANT_TRUE);
    return ApplyRecordState(*this, id);
}
