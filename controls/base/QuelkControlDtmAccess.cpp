// The control's access to the DTM's dataset: attributes, state, value, range and type of a parameter, the
// value written into the dataset, device reads and writes by row, and the probe of a record's state field.
// Ids and field masks travel as VT_UI4 VARIANTs.
#include "classlib/Bstr.h"
#include "classlib/Variant.h"
#include "controls/base/ControlArguments.h"
#include "controls/base/QuelkControlBase.h"
#include "dataset/VariableFields.h"

namespace {

// Every output of GetVariableInfo that a caller does not need, freed when the call is done.
struct VariableInfoOutputs {
    ql::Variant value, minimum, maximum, defaultValue, access;
    ql::Bstr name;
    VARTYPE type = VT_EMPTY;
};

// Asking the store to read or write is refused by a failure and by S_FALSE alike.
bool Refused(HRESULT hr) noexcept { return FAILED(hr) || hr == S_FALSE; }

}  // namespace

HRESULT CQuelkControlBase::FetchParameterAttributes(UINT row) noexcept {
    QL_RETURN_HR_IF(E_POINTER, !m_variables);
    QL_RETURN_HR_IF(E_INVALIDARG, row >= m_rowCount);
    ql::ComPtr<IQuelkVariableFields> fields;
    if (FAILED(QueryDtm(fields)) || !fields) return E_POINTER;
    ParameterMapEntry& entry = m_rows[row];
    ql::Variant out;
    QL_RETURN_IF_FAILED(
        fields->GetVariableField(*UlongArgument(entry.id), *UlongArgument(kFieldEnumerationKind), out.Get()));
    // A kind that is no number is refused rather than read from another type's bits.
    QL_RETURN_IF_FAILED(out.ChangeType(VT_UI2));
    entry.enumerationKind = V_UI2(out.Get());
    if (entry.enumerationKind == kEnumerationNone) return S_OK;
    out.Reset();
    QL_RETURN_IF_FAILED(fields->GetVariableField(*UlongArgument(entry.id),
                                                 *UlongArgument(kFieldEnumerationEntries), out.Get()));
    if (out.Type() == (VT_ARRAY | VT_BSTR)) {
        const HRESULT copied = entry.enumeration.CopyFrom(*out);
        if (FAILED(copied)) entry.enumeration.SetError(copied);
    }
    return S_OK;
}

HRESULT CQuelkControlBase::GetParameterState(ULONG id, ULONG* state) noexcept {
    QL_RETURN_IF_NULL_OUT(state);
    *state = 0;
    QL_RETURN_HR_IF(E_FAIL, !m_variables);
    VariableInfoOutputs out;
    QL_RETURN_IF_FAILED(m_variables->GetVariableInfo(*UlongArgument(id), out.value.Get(), out.name.Put(),
                                                     &out.type, out.minimum.Get(), out.maximum.Get(),
                                                     out.defaultValue.Get(), out.access.Get()));
    QL_RETURN_IF_FAILED(out.access.ChangeType(VT_UI4));
    *state = V_UI4(out.access.Get());
    return S_OK;
}

HRESULT CQuelkControlBase::GetParameterValue(ULONG id, VARIANT* value) noexcept {
    QL_RETURN_IF_NULL_OUT(value);
    QL_RETURN_HR_IF(E_FAIL, !m_variables);
    return m_variables->GetValue(*UlongArgument(id), value);
}

HRESULT CQuelkControlBase::SetParameterValue(ULONG id, VARIANT value) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, V_VT(&value) == VT_EMPTY);
    QL_RETURN_HR_IF(E_FAIL, !m_variables);
    return m_variables->SetValue(*UlongArgument(id), value);
}

HRESULT CQuelkControlBase::GetParameterRange(ULONG id, VARIANT* minimum, VARIANT* maximum) noexcept {
    QL_RETURN_IF_NULL_OUT(minimum);
    QL_RETURN_IF_NULL_OUT(maximum);
    QL_RETURN_HR_IF(E_FAIL, !m_variables);
    VariableInfoOutputs out;
    QL_RETURN_IF_FAILED(m_variables->GetVariableInfo(*UlongArgument(id), out.value.Get(), out.name.Put(),
                                                     &out.type, minimum, maximum, out.defaultValue.Get(),
                                                     out.access.Get()));
    return S_OK;
}

HRESULT CQuelkControlBase::GetParameterType(ULONG id, VARTYPE* type) noexcept {
    QL_RETURN_IF_NULL_OUT(type);
    QL_RETURN_HR_IF(E_FAIL, !m_variables);
    VariableInfoOutputs out;
    QL_RETURN_IF_FAILED(m_variables->GetVariableInfo(*UlongArgument(id), out.value.Get(), out.name.Put(),
                                                     type, out.minimum.Get(), out.maximum.Get(),
                                                     out.defaultValue.Get(), out.access.Get()));
    return S_OK;
}

HRESULT CQuelkControlBase::ReadDeviceParameter(UINT row) noexcept {
    if (!m_variables) {
        ql::Bstr text(L" Could not retrieve private interface of dtm!");
        // Without the DTM there is nothing to read or write; the status line says so as far as it can.
        (void)ShowStatusText(text.Get());
        return S_OK;
    }
    if (m_rowCount == 0) {
        Report("No Parameter in Paramter Map!");
        return S_FALSE;
    }
    // A row beyond the map would read past the copy's end.
    QL_RETURN_HR_IF(E_INVALIDARG, row >= m_rowCount);
    VARIANT_BOOL sent = VARIANT_FALSE;
    const HRESULT hr = m_variables->ReadFromDeviceAsync(*UlongArgument(m_rows[row].id), &sent);
    if (Refused(hr)) {
        Report("ReadDeviceParameter failed (hRes = %08X)!", static_cast<unsigned int>(hr));
        return hr;
    }
    return S_OK;
}

HRESULT CQuelkControlBase::WriteDeviceParameter(UINT row) noexcept {
    if (!m_variables) {
        ql::Bstr text(L" Could not retrieve private interface of dtm!");
        // Without the DTM there is nothing to read or write; the status line says so as far as it can.
        (void)ShowStatusText(text.Get());
        return S_OK;
    }
    if (m_rowCount == 0) {
        Report("No Parameter Map in Parameter Map!");
        return S_FALSE;
    }
    QL_RETURN_HR_IF(E_INVALIDARG, row >= m_rowCount);
    const ULONG id = m_rows[row].id;
    ql::Variant value;
    HRESULT hr = ReadParameterDisplayByID(id, value.Get());
    if (FAILED(hr)) {
        Report("ReadParameterDisplayByID failed (hRes = %08X)!", static_cast<unsigned int>(hr));
        return hr;
    }
    VARIANT_BOOL sent = VARIANT_FALSE;
    hr = m_variables->WriteToDeviceAsync(*UlongArgument(id), *value, &sent);
    if (Refused(hr)) {
        Report("WriteDeviceParameter failed (hRes = %08X)!", static_cast<unsigned int>(hr));
        return hr;
    }
    return S_OK;
}

HRESULT CQuelkControlBase::ProbeParameterState(ULONG id) noexcept {
    ql::ComPtr<IQuelkVariableFields> fields;
    if (FAILED(QueryDtm(fields)) || !fields) return E_NOINTERFACE;
    ql::Variant out;
    QL_RETURN_IF_FAILED(
        fields->GetVariableField(*UlongArgument(id), *UlongArgument(kFieldDisplayAttribute), out.Get()));
    return S_OK;
}
