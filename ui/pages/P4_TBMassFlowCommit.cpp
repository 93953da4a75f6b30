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
    // A diameter or a flow unit whose sizes would leave their ranges is refused before it reaches the device
    // or the dataset: offline, showing the new flow unit would already switch the size unit.
    if (!SizesFollowInRange(id, previousKnown ? &previousSizeUnit : nullptr)) {
        // Only brings the field back to the dataset's value; the user has been told.
        (void)RefreshControl(id);
        return;
    }
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
    ConvertedSizes sizes;
    if (FAILED(ConvertSizes(targetUnit, sizes))) {
        ReportUnreadValue(*this, "The pipe dimensions");
        return;
    }
    // Checked again: online the diameter is the device's after the commit.
    if (!SizesFit(sizes)) return;
    if (!IsOnline()) StoreValue(kSizeUnitId, *UnitValue(targetUnit));
    WriteDiameter(*sizes.diameter);
    StoreValue(kWidthId, *sizes.width);
    StoreValue(kLengthId, *sizes.length);
    ApplyTubeShape(StoredTubeShape());
}

void CP4_TBMassFlow::UpdateDuctFromDiameter() noexcept {
    UpdatingScope updating(m_updating);
    float diameter = 0;
    if (FAILED(CurrentFloat(kDiameterId, diameter))) {
        ReportUnreadValue(*this, "The nominal size");
        return;
    }
    const ql::Variant side = FloatValue(massflow::DuctSideFromDiameter(diameter));
    if (!DerivedValuesFit(*this, {{kWidthId, *side}, {kLengthId, *side}})) return;
    StoreValue(kWidthId, *side);
    StoreValue(kLengthId, *side);
}

bool CP4_TBMassFlow::SizesFollowInRange(ULONG id, const USHORT* sizeUnit) noexcept {
    if (id != kDiameterId && id != kFlowUnitId) return true;
    ql::Variant typed;
    // A field that holds no value is left to the commit, which refuses it itself.
    if (FAILED(ReadParameterDisplayByID(id, typed.Put())) ||
        FAILED(typed.ChangeType(id == kDiameterId ? VT_R4 : VT_UI2))) {
        return true;
    }
    if (id == kDiameterId) {
        const ql::Variant side = FloatValue(massflow::DuctSideFromDiameter(V_R4(typed.Get())));
        return DerivedValuesFit(*this, {{kWidthId, *side}, {kLengthId, *side}});
    }
    const USHORT targetUnit = sizeUnit ? massflow::SizeUnitForFlowUnit(*sizeUnit, V_UI2(typed.Get())) : 0;
    ConvertedSizes sizes;
    // Sizes that cannot be read are left to the coupling after the commit, which tells the user.
    return targetUnit == 0 || FAILED(ConvertSizes(targetUnit, sizes)) || SizesFit(sizes);
}

HRESULT CP4_TBMassFlow::ConvertSizes(USHORT targetUnit, ConvertedSizes& sizes) noexcept {
    float diameter = 0, width = 0, length = 0;
    QL_RETURN_IF_FAILED(CurrentFloat(kDiameterId, diameter));
    QL_RETURN_IF_FAILED(StoredFloat(kWidthId, width));
    QL_RETURN_IF_FAILED(StoredFloat(kLengthId, length));
    sizes.diameter = FloatValue(massflow::ConvertSize(diameter, targetUnit));
    sizes.width = FloatValue(massflow::ConvertSize(width, targetUnit));
    sizes.length = FloatValue(massflow::ConvertSize(length, targetUnit));
    return S_OK;
}

bool CP4_TBMassFlow::SizesFit(const ConvertedSizes& sizes) noexcept {
    return DerivedValuesFit(
        *this, {{kDiameterId, *sizes.diameter}, {kWidthId, *sizes.width}, {kLengthId, *sizes.length}});
}

void CP4_TBMassFlow::UpdateDiameterFromDuct() noexcept {
    UpdatingScope updating(m_updating);
    float width = 0, length = 0;
    if (FAILED(StoredFloat(kWidthId, width)) || FAILED(StoredFloat(kLengthId, length))) {
        ReportUnreadValue(*this, "The duct dimensions");
        return;
    }
    const ql::Variant diameter = FloatValue(massflow::DiameterFromDuct(width, length));
    if (DerivedValuesFit(*this, {{kDiameterId, *diameter}})) WriteDiameter(*diameter);
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
void CP4_TBMassFlow::WriteDiameter(const VARIANT& diameter) noexcept {
    UpdatingScope updating(m_updating);
    // The diameter follows as far as it can: the DTM shows a device's refusal in the status line.
    (void)WriteParameterToDevice(kDiameterId, diameter);
}

void CP4_TBMassFlow::SetRowsState(ULONG id, bool writable) noexcept {
    const int first = FindParamRow(id);
    const ULONG state = writable && first >= 0 ? (Row(static_cast<UINT>(first)).state | kRowWritable) : 0;
    for (UINT row = 0; row < RowCount(); ++row) {
        if (Row(row).id == id && FAILED(SetRowState(row, state))) return;
    }
}
