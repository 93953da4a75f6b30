// Checking a bound parameter's value against the DTM's value check, and the edit notifications of the
// bound controls that run the check. The row's modified and invalid bits follow the check on writable
// rows only; a value that cannot even be read as the parameter's type marks any row invalid.
#include "classlib/Variant.h"
#include "controls/base/ControlArguments.h"
#include "controls/base/QuelkControlBase.h"
#include "dataset/VariableFields.h"

namespace {

constexpr ULONG kCheckedBits = kRowModified | kRowInvalid;

}  // namespace

HRESULT CQuelkControlBase::CheckParameterValue(ULONG id, VARIANT_BOOL* valid, bool readById) noexcept {
    // Not E_POINTER: the callers of this check rely on E_FAIL.
    QL_RETURN_HR_IF(E_FAIL, !valid);
    *valid = VARIANT_FALSE;
    const int found = FindParamRow(id);
    QL_RETURN_HR_IF(E_INVALIDARG, found < 0);
    const UINT row = static_cast<UINT>(found);
    if (m_rows[row].state & kRowNotLoaded) return S_OK;
    QL_RETURN_HR_IF(E_FAIL, !m_variables);

    ql::Variant value;
    if (m_rows[row].controlId != 0) {
        const HRESULT read =
            readById ? ReadParameterDisplayByID(id, value.Get()) : ReadParameterDisplay(row, value.Get());
        if (read != S_OK) {
            // SetRowState stores the state in the row first; only a hosted child that refuses it fails, and
            // it then shows its old state until the next one.
            (void)SetStateById(id, m_rows[row].state | kRowInvalid);
            return S_OK;
        }
    } else {
        QL_RETURN_IF_FAILED(m_variables->GetValue(*UlongArgument(id), value.Get()));
    }

    // Without the DTM's check a writable value counts as invalid.
    ULONG flags = kRowInvalid;
    ql::ComPtr<IQuelkValueCheck> check;
    if (SUCCEEDED(QueryDtm(check)) && check) (void)check->CheckValue(*UlongArgument(id), *value, &flags);
    check.Reset();

    ULONG state = m_rows[row].state;
    if (state & kRowWritable) state = (state & ~kCheckedBits) | (flags & kCheckedBits);
    // As above: the row has the state, a refusing child shows the old one.
    (void)SetStateById(id, state);
    *valid = (state & kRowInvalid) ? VARIANT_FALSE : VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkControlBase::ValidateParameter(ULONG id, VARIANT_BOOL* valid) noexcept {
    return CheckParameterValue(id, valid, false);
}

HRESULT CQuelkControlBase::ValidateRow(UINT row, VARIANT_BOOL* valid) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, row >= m_rowCount);
    QL_RETURN_IF_NULL_OUT(valid);
    *valid = VARIANT_FALSE;
    // Always the base's check, whatever the class puts in ValidateParameter.
    return CQuelkControlBase::ValidateParameter(m_rows[row].id, valid);
}

HRESULT CQuelkControlBase::ValidateEnumRow(UINT row, VARIANT_BOOL* valid) noexcept {
    QL_RETURN_IF_NULL_OUT(valid);
    *valid = VARIANT_FALSE;
    QL_RETURN_HR_IF(E_INVALIDARG, row >= m_rowCount || m_rows[row].enumerationKind != kEnumerationList);
    return CQuelkControlBase::ValidateParameter(m_rows[row].id, valid);
}

HRESULT CQuelkControlBase::ValidateBitEnumRow(UINT row, VARIANT_BOOL* valid) noexcept {
    QL_RETURN_IF_NULL_OUT(valid);
    *valid = VARIANT_FALSE;
    QL_RETURN_HR_IF(E_INVALIDARG, row >= m_rowCount || m_rows[row].enumerationKind != kEnumerationBits);
    return CQuelkControlBase::ValidateParameter(m_rows[row].id, valid);
}

LRESULT CQuelkControlBase::OnControlCommit(UINT, WPARAM wParam, LPARAM, BOOL& handled) noexcept {
    // Disabling a control inside a check makes it lose the focus: that second commit is not a user's.
    if (m_loading || m_updating || committing_) return 0;
    const int row = FindRowByControlId(LOWORD(wParam));
    if (row < 0) {
        handled = FALSE;
        return 0;
    }
    ScopedFlag<bool> validating(committing_);
    VARIANT_BOOL valid = VARIANT_FALSE;
    // Validation marks the row; its answer matters only to a commit, which validates again.
    (void)ValidateParameter(m_rows[row].id, &valid);
    return 0;
}

LRESULT CQuelkControlBase::OnControlChange(UINT, WPARAM wParam, LPARAM, BOOL& handled) noexcept {
    if (m_loading || m_updating) return 0;
    const int row = FindRowByControlId(LOWORD(wParam));
    if (row < 0) {
        handled = FALSE;
        return 0;
    }
    VARIANT_BOOL valid = VARIANT_FALSE;
    // Validation marks the row; its answer matters only to a commit, which validates again.
    (void)ValidateParameter(m_rows[row].id, &valid);
    return 0;
}
