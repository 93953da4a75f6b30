// Rows between the dialog and the DTM: loading, refreshing, row states, locks, storing and committing,
// and the hosted child controls. These are the defaults that the synchronisation layer of the framework
// refines; the base keeps them small and in the slot table's contracts. The enumeration members live in
// controls/enum.
#include <string>

#include "classlib/Bstr.h"
#include "classlib/Variant.h"
#include "controls/base/ControlArguments.h"
#include "controls/base/QuelkControlBase.h"
#include "dataset/VariableFields.h"
#include "values/AnsiText.h"

HRESULT CQuelkControlBase::LoadAllRows() noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !m_variables);
    // Reset on every way out: a control left loading would ignore every later edit.
    ScopedFlag<BOOL> loading(m_loading);
    for (UINT row = 0; row < m_rowCount; ++row) {
        ParameterMapEntry& entry = m_rows[row];
        if (FAILED(UpdateControl(row))) {
            const ULONG state = (entry.state | kRowInvalid | kRowWritable | kRowNotLoaded) & ~kRowModified;
            QL_RETURN_IF_FAILED(SetStateById(entry.id, state));
        } else {
            entry.state &= ~kRowNotLoaded;
        }
    }
    return S_OK;
}

HRESULT CQuelkControlBase::UpdateControl(UINT row) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, row >= m_rowCount);
    const ULONG id = m_rows[row].id;
    QL_RETURN_IF_FAILED(FetchParameterAttributes(row));
    ql::Variant value;
    QL_RETURN_IF_FAILED(GetParameterValue(id, value.Get()));
    ULONG state = 0;
    QL_RETURN_IF_FAILED(GetParameterState(id, &state));
    QL_RETURN_IF_FAILED(ShowValue(row, *value));
    return SetRowState(row, state);
}

HRESULT CQuelkControlBase::RefreshControl(ULONG id) noexcept {
    ql::Variant value;
    QL_RETURN_IF_FAILED(GetParameterValue(id, value.Get()));
    ULONG state = 0;
    QL_RETURN_IF_FAILED(GetParameterState(id, &state));
    QL_RETURN_IF_FAILED(ShowValueById(id, *value));
    return SetStateById(id, state);
}

HRESULT CQuelkControlBase::SetRowState(UINT row, ULONG flags) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, row >= m_rowCount);
    ParameterMapEntry& entry = m_rows[row];
    // The lock's memory of an enabled control survives a state taken from the DTM.
    entry.state = (flags & entry.stateMask & ~kRowEnabledBeforeLock) | (entry.state & kRowEnabledBeforeLock);
    const HWND window = RowWindow(row);
    if (window) {
        const bool writable = (entry.state & kRowWritable) != 0;
        if (GetControlKind(window) == 2 /* Edit */) {
            ::SendMessageW(window, EM_SETREADONLY, writable ? FALSE : TRUE, 0);
        } else {
            ::EnableWindow(window, writable ? TRUE : FALSE);
        }
        ::InvalidateRect(window, nullptr, TRUE);
    }
    if (entry.markerWindow) ::InvalidateRect(entry.markerWindow, nullptr, TRUE);
    return S_OK;
}

HRESULT CQuelkControlBase::SetStateById(ULONG id, ULONG flags) noexcept {
    for (UINT row = 0; row < m_rowCount; ++row) {
        if (m_rows[row].id == id) QL_RETURN_IF_FAILED(SetRowState(row, flags));
    }
    return S_OK;
}

HRESULT CQuelkControlBase::LockAllControls(BOOL lock) noexcept {
    for (UINT row = 0; row < m_rowCount; ++row) {
        ParameterMapEntry& entry = m_rows[row];
        const HWND window = RowWindow(row);
        if (!window) continue;
        if (lock && ::IsWindowEnabled(window)) {
            ::EnableWindow(window, FALSE);
            entry.state |= kRowEnabledBeforeLock;
        } else if (!lock && (entry.state & kRowEnabledBeforeLock)) {
            ::EnableWindow(window, TRUE);
            entry.state &= ~kRowEnabledBeforeLock;
        }
    }
    return S_OK;
}

HRESULT CQuelkControlBase::FocusFirstInvalidControl() noexcept {
    for (UINT row = 0; row < m_rowCount; ++row) {
        const ParameterMapEntry& entry = m_rows[row];
        if ((entry.state & kRowInvalid) && !(entry.state & kRowNotLoaded)) {
            if (const HWND window = RowWindow(row)) ::SetFocus(window);
            return E_FAIL;
        }
    }
    return S_OK;
}

HRESULT CQuelkControlBase::ValidateRow(UINT row) noexcept { return row < m_rowCount ? S_OK : E_INVALIDARG; }
HRESULT CQuelkControlBase::ValidateRowOfKind1(UINT row) noexcept { return ValidateRow(row); }
HRESULT CQuelkControlBase::ValidateRowOfKind2(UINT row) noexcept { return ValidateRow(row); }

HRESULT CQuelkControlBase::ValidateParameter(ULONG id, VARIANT_BOOL* valid) noexcept {
    QL_RETURN_IF_NULL_OUT(valid);
    *valid = VARIANT_FALSE;
    const int row = FindParamRow(id);
    QL_RETURN_HR_IF(E_INVALIDARG, row < 0);
    ql::Variant value;
    // A text that does not read as the parameter's type marks the row invalid without asking the DTM.
    if (ReadParameterDisplay(static_cast<UINT>(row), value.Get()) != S_OK) {
        return SetStateById(id, m_rows[row].state | kRowInvalid);
    }
    ql::ComPtr<IQuelkValueCheck> check;
    if (FAILED(QueryDtm(check)) || !check) return S_FALSE;
    ULONG flags = 0;
    QL_RETURN_IF_FAILED(check->CheckValue(*UlongArgument(id), *value, &flags));
    if (!(flags & kAccessNoCheck)) QL_RETURN_IF_FAILED(SetStateById(id, flags));
    *valid = (flags & kAccessRejected) ? VARIANT_FALSE : VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkControlBase::StoreControlValue(ULONG id) noexcept {
    const int row = FindParamRow(id);
    if (row < 0 || !(m_rows[row].state & kRowWritable) || (m_rows[row].state & kRowNotLoaded)) return S_FALSE;
    ql::Variant value;
    if (ReadParameterDisplay(static_cast<UINT>(row), value.Get()) != S_OK) return S_FALSE;
    QL_RETURN_IF_FAILED(SetParameterValue(id, *value));
    return S_OK;
}

HRESULT CQuelkControlBase::LoadParameter(ULONG id) noexcept {
    ql::ComPtr<IQuelkVariablesEx> store;
    if (FAILED(QueryDtm(store)) || !store) return E_FAIL;
    VARIANT_BOOL ok = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(store->ReadFromDevice(id, &ok));
    QL_RETURN_HR_IF(E_FAIL, ok != VARIANT_TRUE);
    ULONG state = 0;
    QL_RETURN_IF_FAILED(GetParameterState(id, &state));
    return SetStateById(id, state);
}

HRESULT CQuelkControlBase::CommitParameter(ULONG id) noexcept {
    ql::ComPtr<IQuelkVariablesEx> store;
    if (FAILED(QueryDtm(store)) || !store) return E_FAIL;
    ql::Variant value;
    if (ReadParameterDisplayByID(id, value.Get()) != S_OK) return S_FALSE;
    VARIANT_BOOL ok = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(store->WriteToDevice(id, *value, &ok));
    ULONG state = 0;
    QL_RETURN_IF_FAILED(GetParameterState(id, &state));
    QL_RETURN_IF_FAILED(SetStateById(id, state));
    return ok == VARIANT_TRUE ? S_OK : S_FALSE;
}

BOOL CQuelkControlBase::SetDirty(BOOL dirty) noexcept {
    m_dirty = dirty;
    return m_dirty;
}

// --- hosted child controls ---

HRESULT CQuelkControlBase::QueryChildControl(UINT controlId,
                                             ql::ComPtr<IQuelkChildControl>& child) const noexcept {
    child.Reset();
    const HWND item = dialog_ ? ::GetDlgItem(dialog_, static_cast<int>(controlId)) : nullptr;
    QL_RETURN_HR_IF(E_NOINTERFACE, !item);
    static const UINT getControl = ::RegisterWindowMessageW(L"WM_ATLGETCONTROL");
    ql::ComPtr<IUnknown> hosted;
    hosted.Attach(reinterpret_cast<IUnknown*>(::SendMessageW(item, getControl, 0, 0)));
    QL_RETURN_HR_IF(E_NOINTERFACE, !hosted);
    QL_RETURN_IF_FAILED(hosted->QueryInterface(IID_IQuelkChildControl, child.PutVoid()));
    return child ? S_OK : E_NOINTERFACE;
}

bool CQuelkControlBase::IsChildControl(UINT controlId) noexcept {
    ql::ComPtr<IQuelkChildControl> child;
    return SUCCEEDED(QueryChildControl(controlId, child));
}

void CQuelkControlBase::InitChildControls() noexcept {
    for (UINT row = 0; row < m_rowCount; ++row) {
        const ParameterMapEntry& entry = m_rows[row];
        if (entry.controlId == 0 || !IsChildControl(entry.controlId)) continue;
        ql::ComPtr<IQuelkChildControl> child;
        if (FAILED(QueryChildControl(entry.controlId, child))) return;
        VARIANT_BOOL ok = VARIANT_FALSE;
        if (FAILED(child->AttachDtm(m_variables.Get(), &ok)) || !ok) return;
        if (FAILED(child->SetParentControl(entry.controlId, owner_, &ok)) || !ok) return;
        ql::Bstr name, format;
        if (FAILED(AnsiToBstr(entry.name ? entry.name : "", name)) ||
            FAILED(AnsiToBstr(entry.format ? entry.format : "", format))) {
            return;
        }
        if (FAILED(child->BindParameter(entry.id, name.Get(), format.Get(), &ok)) || !ok) return;
    }
}
