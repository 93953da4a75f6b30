// The mass flow page's commits and the dimension and unit follow-ups that keep the pipe and duct sizes in
// step with an edited value. Every value the page writes itself runs under the updating flag, so the
// controls' notifications are not taken for a person's edits and Apply does not write them back.
#include "classlib/Variant.h"
#include "ui/pages/BlockPageCommit.h"
#include "ui/pages/P4_TBMassFlow.h"
#include "ui/pages/PageDecoration.h"
#include "ui/pages/PageResources.h"
#include "ui/pages/PipeDimensions.h"
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

ql::Variant FloatValue(float number) {
    ql::Variant value;
    value.SetR4(number);
    return value;
}

}  // namespace

HRESULT CP4_TBMassFlow::CommitParameter(ULONG id) noexcept {
    if (enterCommit_ && IsDimensionId(id)) return CQuelkControlBase::CommitParameter(id);
    return CQuelkOnlinePage::CommitParameter(id);
}

HRESULT CP4_TBMassFlow::LoadParameter(ULONG id) noexcept {
    if (enterCommit_ && IsDatasetOnlyId(id)) return S_OK;
    return CQuelkOnlinePage::LoadParameter(id);
}

HRESULT CP4_TBMassFlow::SetRowState(UINT row, ULONG flags) noexcept {
    const HRESULT result = CBlockPage::SetRowState(row, flags);
    if (row < RowCount()) {
        const ULONG id = Row(row).id;
        if (id == kDiameterId || id == kWidthId || id == kLengthId) ApplyTubeShape(StoredTubeShape());
    }
    return result;
}

HRESULT CP4_TBMassFlow::ApplyControl(HWND control) noexcept {
    if (!control) return S_OK;
    const int controlId = ::GetDlgCtrlID(control);
    const int row = [&] {
        for (UINT index = 0; index < RowCount(); ++index) {
            if (Row(index).controlId == static_cast<ULONG>(controlId)) return static_cast<int>(index);
        }
        return -1;
    }();
    if (row < 0) return S_OK;
    const ULONG id = Row(static_cast<UINT>(row)).id;
    const USHORT previousSizeUnit = CurrentUnit(kSizeUnitId);
    enterCommit_ = true;
    (void)CommitEditedControl(*this, control);
    enterCommit_ = false;

    UpdatingScope updating(m_updating);
    switch (id) {
        case 43:
            CopyItemText(IDC_MF_ZERO_UNIT, IDC_MF_ZERO_UNIT_LABEL);
            break;
        case kSizeUnitId:
            CopyItemText(IDC_MF_SIZE_UNIT, IDC_MF_DIAMETER_UNIT_LABEL);
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
            AfterFlowUnitCommit(previousSizeUnit);
            break;
        default:
            break;
    }
    return S_OK;
}

void CP4_TBMassFlow::AfterShapeCommit() noexcept {
    const BYTE shape = StoredTubeShape();
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
// sizes are converted by the page in both cases.
void CP4_TBMassFlow::AfterFlowUnitCommit(USHORT previousSizeUnit) noexcept {
    for (UINT label : {IDC_MF_FLOW_UNIT_LABEL, IDC_MF_HIGH_UNIT_LABEL, IDC_MF_LOW_UNIT_LABEL}) {
        CopyItemText(IDC_MF_FLOW_UNIT, label);
    }
    (void)LoadParameter(kSizeUnitId);
    if (IsOnline()) (void)LoadParameter(kMakerUnitId);
    USHORT flowUnit = CurrentUnit(kFlowUnitId);
    if (FrameMode() == kFrameModeOnlineParameterization) {
        ql::Variant value;
        value.Put()->vt = VT_UI2;
        V_UI2(value.Get()) = flowUnit;
        StoreValue(kFlowUnitId, *value);
    }
    const USHORT targetUnit = massflow::SizeUnitForFlowUnit(previousSizeUnit, flowUnit);
    if (targetUnit == 0) return;
    const float diameter = CurrentFloat(kDiameterId);
    const float width = StoredFloat(kWidthId);
    const float length = StoredFloat(kLengthId);
    if (!IsOnline()) {
        ql::Variant unit;
        unit.Put()->vt = VT_UI2;
        V_UI2(unit.Get()) = targetUnit;
        StoreValue(kSizeUnitId, *unit);
    }
    WriteDiameter(massflow::ConvertSize(diameter, targetUnit));
    StoreValue(kWidthId, *FloatValue(massflow::ConvertSize(width, targetUnit)));
    StoreValue(kLengthId, *FloatValue(massflow::ConvertSize(length, targetUnit)));
    ApplyTubeShape(StoredTubeShape());
}

void CP4_TBMassFlow::UpdateDuctFromDiameter() noexcept {
    UpdatingScope updating(m_updating);
    const float side = massflow::DuctSideFromDiameter(CurrentFloat(kDiameterId));
    StoreValue(kWidthId, *FloatValue(side));
    StoreValue(kLengthId, *FloatValue(side));
}

void CP4_TBMassFlow::UpdateDiameterFromDuct() noexcept {
    UpdatingScope updating(m_updating);
    WriteDiameter(massflow::DiameterFromDuct(StoredFloat(kWidthId), StoredFloat(kLengthId)));
}

float CP4_TBMassFlow::CurrentFloat(ULONG id) noexcept {
    if (FrameMode() != kFrameModeOnlineParameterization) return StoredFloat(id);
    ql::Variant device, dtm, idValue;
    idValue.SetUI4(id);
    (void)CompareSingleParameter(*idValue, device.Put(), dtm.Put());
    return SUCCEEDED(device.ChangeType(VT_R4)) ? V_R4(device.Get()) : 0.0f;
}

USHORT CP4_TBMassFlow::CurrentUnit(ULONG id) noexcept {
    ql::Variant value, dtm;
    if (FrameMode() == kFrameModeOnlineParameterization) {
        ql::Variant idValue;
        idValue.SetUI4(id);
        (void)CompareSingleParameter(*idValue, value.Put(), dtm.Put());
    } else {
        (void)GetParameterValue(id, value.Put());
    }
    return SUCCEEDED(value.ChangeType(VT_UI2)) ? V_UI2(value.Get()) : 0;
}

float CP4_TBMassFlow::StoredFloat(ULONG id) noexcept {
    ql::Variant value;
    if (FAILED(GetParameterValue(id, value.Put()))) return 0.0f;
    return SUCCEEDED(value.ChangeType(VT_R4)) ? V_R4(value.Get()) : 0.0f;
}

void CP4_TBMassFlow::StoreValue(ULONG id, const VARIANT& value) noexcept {
    UpdatingScope updating(m_updating);
    (void)SetParameterValue(id, value);
}

// Online the diameter goes to the device; offline into the dataset, marked for download.
void CP4_TBMassFlow::WriteDiameter(float diameter) noexcept {
    UpdatingScope updating(m_updating);
    ql::ComPtr<IQuelkVariablesEx> store;
    if (FAILED(QueryDtm(store)) || !store) return;
    VARIANT_BOOL written = VARIANT_FALSE;
    (void)store->WriteToDevice(kDiameterId, *FloatValue(diameter), &written);
}

void CP4_TBMassFlow::SetRowsState(ULONG id, bool writable) noexcept {
    const int first = FindParamRow(id);
    const ULONG state = writable && first >= 0 ? (Row(static_cast<UINT>(first)).state | kRowWritable) : 0;
    for (UINT row = 0; row < RowCount(); ++row) {
        if (Row(row).id == id && FAILED(SetRowState(row, state))) return;
    }
}
