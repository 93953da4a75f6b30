// The mass flow page's commits and the dimension and unit follow-ups that keep the pipe and duct sizes in
// step with an edited value. Every value the page writes itself runs under the updating flag, so the
// controls' notifications are not taken for a person's edits and Apply does not write them back.
#include "classlib/Variant.h"
#include "ui/pages/BlockDisplay.h"
#include "ui/pages/BlockPageCommit.h"
#include "ui/pages/P4_TBMassFlow.h"
#include "ui/pages/PageDecoration.h"
#include "ui/pages/PageResources.h"
#include "ui/pages/PipeDimensions.h"
#include "ui/pages/TypedValues.h"
#include "ui/pages/UpdatingScope.h"

namespace {

constexpr ULONG kFrameModeOnlineParameterization = 2;
constexpr ULONG kDiameterId = 44, kSizeUnitId = 45, kFlowUnitId = 47, kShapeId = 50, kWidthId = 51,
                kLengthId = 52, kMakerUnitId = 56;

// The ids committed by the control base's own steps: the sizes and the units they depend on.
bool IsDimensionId(ULONG id) noexcept {
    return id == kFlowUnitId || id == kDiameterId || id == kShapeId || id == kWidthId || id == kLengthId;
}
// Kept only in the dataset: there is nothing to read back from the device.
bool IsDatasetOnlyId(ULONG id) noexcept { return id == kShapeId || id == kWidthId || id == kLengthId; }

}  // namespace

HRESULT CP4_TBMassFlow::CommitParameter(ULONG id) noexcept {
    if (enterCommit_ && IsDimensionId(id)) {
        if (DeviceSilent()) return E_ABORT;
        return NoteDeviceResult(CQuelkControlBase::CommitParameter(id));
    }
    return CQuelkOnlinePage::CommitParameter(id);
}

HRESULT CP4_TBMassFlow::LoadParameter(ULONG id) noexcept {
    if (enterCommit_ && IsDatasetOnlyId(id)) return S_OK;
    return CQuelkOnlinePage::LoadParameter(id);
}

HRESULT CP4_TBMassFlow::SetRowState(UINT row, ULONG flags) noexcept {
    const HRESULT result = CEditableBlockPage::SetRowState(row, flags);
    if (row < RowCount()) {
        const ULONG id = Row(row).id;
        if (id == kDiameterId || id == kWidthId || id == kLengthId) ApplyTubeShape(StoredTubeShape());
    }
    return result;
}

void CP4_TBMassFlow::CommitControl(HWND control) noexcept {
    if (!control) return;
    const int controlId = ::GetDlgCtrlID(control);
    const int row = [&] {
        for (UINT index = 0; index < RowCount(); ++index) {
            if (Row(index).controlId == static_cast<ULONG>(controlId)) return static_cast<int>(index);
        }
        return -1;
    }();
    if (row < 0) return;
    const ULONG id = Row(static_cast<UINT>(row)).id;
    // The size unit as it was: the flow unit's coupling converts from it. A unit that could not be read
    // is none.
    USHORT previousSizeUnit = 0;
    const bool previousKnown = SUCCEEDED(CurrentUnit(kSizeUnitId, previousSizeUnit));
    enterCommit_ = true;
    const HRESULT committed = CommitEditedControl(*this, control);
    enterCommit_ = false;
    // Sizes and units follow only a value that was committed.
    if (committed != S_OK) return;

    UpdatingScope updating(m_updating);
    switch (id) {
        case 43:
            CopyItemText(DialogWindow(), IDC_MF_ZERO_UNIT, {IDC_MF_ZERO_UNIT_LABEL}, kLabelLimit);
            break;
        case kSizeUnitId:
            CopyItemText(DialogWindow(), IDC_MF_SIZE_UNIT, {IDC_MF_DIAMETER_UNIT_LABEL}, kLabelLimit);
            break;
        case kDiameterId:
            UpdateDuctFromDiameter();
            ApplyTubeShape(0);
            break;
        case kWidthId:
        case kLengthId:
            UpdateDiameterFromDuct();
            ApplyTubeShape(1);
            break;
        case kShapeId:
            AfterShapeCommit();
            break;
        case kFlowUnitId:
            AfterFlowUnitCommit(previousKnown ? &previousSizeUnit : nullptr);
            break;
        default:
            break;
    }
}

void CP4_TBMassFlow::AfterShapeCommit() noexcept {
    BYTE shape = 0;
    if (FAILED(StoredTubeShape(shape))) {
        ReportUnreadValue(*this, "The shape of the tubing");
        return;
    }
    const bool pipe = shape == 0;
    if (pipe) {
        UpdateDiameterFromDuct();
    } else {
        UpdateDuctFromDiameter();
    }
    ApplyTubeShape(shape);
    SetRowsState(kDiameterId, pipe);
    SetRowsState(kWidthId, !pipe);
    SetRowsState(kLengthId, !pipe);
}

// Offline the page sets the size unit itself; online the device has done so and it is read back. The
// sizes are converted by the page in both cases. A value that cannot be read stops the coupling: nothing
// is stored then, and the user is told.
void CP4_TBMassFlow::AfterFlowUnitCommit(const USHORT* previousSizeUnit) noexcept {
    CopyItemText(DialogWindow(), IDC_MF_FLOW_UNIT,
                 {IDC_MF_FLOW_UNIT_LABEL, IDC_MF_HIGH_UNIT_LABEL, IDC_MF_LOW_UNIT_LABEL}, kLabelLimit);
    // The units are read again as far as the device answers; CurrentUnit below refuses one that is missing.
    (void)LoadParameter(kSizeUnitId);
    if (IsOnline()) (void)LoadParameter(kMakerUnitId);
    USHORT flowUnit = 0;
    if (FAILED(CurrentUnit(kFlowUnitId, flowUnit))) {
        ReportUnreadValue(*this, "The flow unit");
        return;
    }
    if (FrameMode() == kFrameModeOnlineParameterization) StoreValue(kFlowUnitId, *UnitValue(flowUnit));
    if (!previousSizeUnit) {
        ReportUnreadValue(*this, "The nominal size unit");
        return;
    }
    const USHORT targetUnit = massflow::SizeUnitForFlowUnit(*previousSizeUnit, flowUnit);
    if (targetUnit == 0) return;
    float diameter = 0, width = 0, length = 0;
    if (FAILED(CurrentFloat(kDiameterId, diameter)) || FAILED(StoredFloat(kWidthId, width)) ||
        FAILED(StoredFloat(kLengthId, length))) {
        ReportUnreadValue(*this, "The pipe dimensions");
        return;
    }
    if (!IsOnline()) StoreValue(kSizeUnitId, *UnitValue(targetUnit));
    WriteDiameter(massflow::ConvertSize(diameter, targetUnit));
    StoreValue(kWidthId, *FloatValue(massflow::ConvertSize(width, targetUnit)));
    StoreValue(kLengthId, *FloatValue(massflow::ConvertSize(length, targetUnit)));
    ApplyTubeShape(StoredTubeShape());
}

void CP4_TBMassFlow::UpdateDuctFromDiameter() noexcept {
    UpdatingScope updating(m_updating);
    float diameter = 0;
    if (FAILED(CurrentFloat(kDiameterId, diameter))) {
        ReportUnreadValue(*this, "The nominal size");
        return;
    }
    const float side = massflow::DuctSideFromDiameter(diameter);
    StoreValue(kWidthId, *FloatValue(side));
    StoreValue(kLengthId, *FloatValue(side));
}

void CP4_TBMassFlow::UpdateDiameterFromDuct() noexcept {
    UpdatingScope updating(m_updating);
    float width = 0, length = 0;
    if (FAILED(StoredFloat(kWidthId, width)) || FAILED(StoredFloat(kLengthId, length))) {
        ReportUnreadValue(*this, "The duct dimensions");
        return;
    }
    WriteDiameter(massflow::DiameterFromDuct(width, length));
}

HRESULT CP4_TBMassFlow::CurrentValue(ULONG id, VARTYPE type, ql::Variant& value) noexcept {
    if (FrameMode() == kFrameModeOnlineParameterization) {
        QL_RETURN_IF_FAILED(ReadDeviceValue(id, value.Put()));
    } else {
        QL_RETURN_IF_FAILED(GetParameterValue(id, value.Put()));
    }
    // An empty value would convert to 0: no value is no number.
    QL_RETURN_HR_IF(E_FAIL, value.Type() == VT_EMPTY);
    return value.ChangeType(type);
}

HRESULT CP4_TBMassFlow::CurrentFloat(ULONG id, float& number) noexcept {
    ql::Variant value;
    QL_RETURN_IF_FAILED(CurrentValue(id, VT_R4, value));
    number = V_R4(value.Get());
    return S_OK;
}

HRESULT CP4_TBMassFlow::CurrentUnit(ULONG id, USHORT& unit) noexcept {
    ql::Variant value;
    QL_RETURN_IF_FAILED(CurrentValue(id, VT_UI2, value));
    unit = V_UI2(value.Get());
    return S_OK;
}

HRESULT CP4_TBMassFlow::StoredFloat(ULONG id, float& number) noexcept {
    ql::Variant value;
    QL_RETURN_IF_FAILED(GetParameterValue(id, value.Put()));
    QL_RETURN_HR_IF(E_FAIL, value.Type() == VT_EMPTY);
    QL_RETURN_IF_FAILED(value.ChangeType(VT_R4));
    number = V_R4(value.Get());
    return S_OK;
}

void CP4_TBMassFlow::StoreValue(ULONG id, const VARIANT& value) noexcept {
    UpdatingScope updating(m_updating);
    // The page's own follow-up store; a refused one leaves the dataset as it was and the field shows it on
    // the next refresh.
    (void)SetParameterValue(id, value);
}

// Online the diameter goes to the device; offline into the dataset, marked for download.
void CP4_TBMassFlow::WriteDiameter(float diameter) noexcept {
    UpdatingScope updating(m_updating);
    // The diameter follows as far as it can: the DTM shows a device's refusal in the status line.
    (void)WriteParameterToDevice(kDiameterId, *FloatValue(diameter));
}

void CP4_TBMassFlow::SetRowsState(ULONG id, bool writable) noexcept {
    const int first = FindParamRow(id);
    const ULONG state = writable && first >= 0 ? (Row(static_cast<UINT>(first)).state | kRowWritable) : 0;
    for (UINT row = 0; row < RowCount(); ++row) {
        if (Row(row).id == id && FAILED(SetRowState(row, state))) return;
    }
}
