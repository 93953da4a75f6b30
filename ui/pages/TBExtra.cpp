#include "ui/pages/TBExtra.h"

#include <string>

#include "controls/base/ControlArguments.h"
#include "dataset/VariantArguments.h"
#include "ui/pages/BlockPageCommit.h"
#include "ui/pages/PageDecoration.h"
#include "ui/pages/PageResources.h"
#include "ui/pages/TypedValues.h"

namespace {

constexpr ULONG kMakerUnitId = 56, kFlowUnitId = 47, kSizeUnitId = 45;
constexpr ULONG kDiameterId = 44, kWidthId = 51, kLengthId = 52;
constexpr ULONG kLimitIds[] = {57, 58, 59};
constexpr ULONG kProfileUnits = 2000, kManufacturerSpecific = 1999;
constexpr ULONG kMillimetre = 1013, kInch = 1019;
// The frame mode in which the window compares the dataset with the device.
constexpr ULONG kFrameModeCompare = 2;
// Exact factors: a rounded one would drift the stored pipe size on every round trip.
constexpr double kMmToInch = 1.0 / 25.4, kInchToMm = 25.4;

const ParameterMap& ExtraMap() {
    static const ParameterMap map{
        {kMakerUnitId, "eTrBl_orvo_units", 0, IDC_TBX_MAKER_UNIT, "", 0, kControlComboBox},
        {57, "eTrBl_orvo_minflow", 0, IDC_TBX_LOWER_LIMIT, "%.5f", 0, 0},
        {58, "eTrBl_orvo_maxflow", 0, IDC_TBX_UPPER_LIMIT, "%.5f", 0, 0},
        {59, "eTrBl_orvo_fs", 0, IDC_TBX_INPUT_RANGE, "%.5f", 0, 0},
        {kFlowUnitId, "FlowUnit", 0, IDC_TBX_FLOW_UNIT, "", 0, kControlComboBox},
    };
    return map;
}

constexpr PageAreaColor kAreaColors[] = {
    {IDC_TBX_FRAME_OVERLAY, IDC_TBX_FRAME_OVERLAY, 0xD7FDD5},
    {IDC_TBX_FRAME, IDC_TBX_FRAME, 0xD7FDD5},
    {6135, 6138, 0xD7FDD5},
    {IDC_TBX_UPPER_UNIT, IDC_TBX_RANGE_UNIT, 0xD7FDD5},
};

constexpr PageOverlay kOverlays[] = {{IDC_TBX_FRAME_OVERLAY, IDC_TBX_FRAME}};

constexpr BlockPageDesign kDesign = MakeBlockPageDesign(kOverlays, kAreaColors);

bool IsImperialMakerUnit(ULONG unit) { return unit == 1360 || unit == 1361 || unit == 1523 || unit == 1525; }
bool IsMetricMakerUnit(ULONG unit) { return unit == 1521 || unit == 1522 || unit == 1524; }

// A unit code; 0 (no unit of either system) for a value that is none.
ULONG UnitOf(const ql::Variant& value) {
    ULONG unit = 0;
    return SUCCEEDED(VariantToUInt32(*value, &unit)) ? unit : 0;
}

}  // namespace

CTBExtra::CTBExtra() noexcept
    : CEditableBlockPage(IDD_TBEXTRA, IDS_TBEXTRA_TITLE, CLSID_TBExtra, ExtraMap(), kDesign) {}

HRESULT CTBExtra::ShowValueById(ULONG id, VARIANT value) noexcept {
    const HRESULT result = CQuelkControlBase::ShowValueById(id, value);
    if (id == kFlowUnitId || id == kMakerUnitId) {
        ql::Variant copy;
        ULONG unit = 0;
        if (SUCCEEDED(copy.CopyFrom(value)) && SUCCEEDED(VariantToUInt32(*copy, &unit))) {
            ShowUnitLabels(id == kFlowUnitId ? unit == kManufacturerSpecific : unit != kProfileUnits);
        }
    }
    return result;
}

void CTBExtra::ShowUnitLabels(bool makerUnit) noexcept {
    const HWND dialog = DialogWindow();
    if (!dialog) return;
    char unit[20] = {};
    ::GetDlgItemTextA(dialog, makerUnit ? IDC_TBX_MAKER_UNIT : IDC_TBX_FLOW_UNIT, unit, sizeof unit);
    try {
        const std::string label = std::string(makerUnit ? "Manufacturer Unit: " : "Profile Unit: ") + unit;
        for (int id : {IDC_TBX_UPPER_UNIT, IDC_TBX_LOWER_UNIT, IDC_TBX_RANGE_UNIT}) {
            ::SetDlgItemTextA(dialog, id, label.c_str());
        }
    } catch (...) {
        // Out of memory: the labels keep their last text.
    }
}

HRESULT CTBExtra::ReadParameterDisplayByID(ULONG id, VARIANT* value) noexcept {
    QL_RETURN_IF_NULL_OUT(value);
    if (id == kEndRowId) return E_INVALIDARG;
    const int row = FindParamRow(id);
    QL_RETURN_HR_IF(E_INVALIDARG, row < 0);
    if (id == kMakerUnitId) return ReadNarrowed(id, VT_UI2, value);
    return ReadParameterDisplay(static_cast<UINT>(row), value);
}

HRESULT CTBExtra::CurrentValue(ULONG id, ql::Variant& value) noexcept {
    if (FrameMode() == kFrameModeCompare) {
        QL_RETURN_IF_FAILED(ReadDeviceValue(id, value.Put()));
    } else {
        QL_RETURN_IF_FAILED(GetParameterValue(id, value.Put()));
    }
    // An empty value would convert to 0: no value is no number.
    return value.Type() == VT_EMPTY ? E_FAIL : S_OK;
}

void CTBExtra::CommitControl(HWND control) noexcept {
    ql::Variant sizeUnit;
    const bool sizeUnitKnown = SUCCEEDED(CurrentValue(kSizeUnitId, sizeUnit));
    // The sizes follow only a maker unit that was committed.
    if (CommitEditedControl(*this, control) != S_OK) return;
    if (control && DialogWindow() && control == ::GetDlgItem(DialogWindow(), IDC_TBX_MAKER_UNIT)) {
        CoupleMakerUnit(sizeUnitKnown ? &sizeUnit : nullptr);
    }
}

// A value that cannot be read stops the coupling: nothing is stored then, and the user is told.
void CTBExtra::CoupleMakerUnit(const ql::Variant* sizeUnitBefore) noexcept {
    if (!Variables()) return;
    const bool online = IsOnline();
    if (online) {
        for (ULONG id : {kFlowUnitId, kLimitIds[0], kLimitIds[1], kLimitIds[2], kSizeUnitId}) {
            // The values are read again as far as the device answers; CurrentValue below refuses one that is
            // missing.
            (void)LoadParameter(id);
        }
    }
    ql::Variant makerUnit;
    if (FAILED(CurrentValue(kMakerUnitId, makerUnit))) {
        ReportUnreadValue(*this, "The maker unit");
        return;
    }
    if (!sizeUnitBefore) {
        ReportUnreadValue(*this, "The nominal size unit");
        return;
    }
    const ULONG unitBefore = UnitOf(*sizeUnitBefore);
    const ULONG unitAfter = UnitOf(makerUnit);
    double factor = 0;
    ULONG newSizeUnit = 0;
    if (unitBefore == kMillimetre && IsImperialMakerUnit(unitAfter)) {
        factor = kMmToInch;
        newSizeUnit = kInch;
    } else if (unitBefore == kInch && IsMetricMakerUnit(unitAfter)) {
        factor = kInchToMm;
        newSizeUnit = kMillimetre;
    } else {
        return;
    }
    ql::Variant diameter, width, length;
    const bool read = SUCCEEDED(CurrentValue(kDiameterId, diameter)) &&
                      SUCCEEDED(GetParameterValue(kWidthId, width.Put())) && width.Type() != VT_EMPTY &&
                      SUCCEEDED(GetParameterValue(kLengthId, length.Put())) && length.Type() != VT_EMPTY;
    bool converted = read;
    for (ql::Variant* size : {&diameter, &width, &length}) {
        if (!converted) break;
        converted = SUCCEEDED(size->ChangeType(VT_R4));
        if (converted) size->SetR4(static_cast<float>(V_R4(size->Get()) * factor));
    }
    if (!converted) {
        ReportUnreadValue(*this, "The pipe dimensions");
        return;
    }
    if (!DerivedValuesFit(*this, {{kDiameterId, *diameter}, {kWidthId, *width}, {kLengthId, *length}})) {
        return;
    }
    // Stores of values checked above; the diameter follows as far as it can online (the DTM shows a device's
    // refusal in the status line).
    if (!online) {
        (void)Variables()->SetValue(*UlongArgument(kSizeUnitId),
                                    *UnitValue(static_cast<USHORT>(newSizeUnit)));
    }
    (void)WriteParameterToDevice(kDiameterId, *diameter);
    (void)Variables()->SetValue(*UlongArgument(kWidthId), *width);
    (void)Variables()->SetValue(*UlongArgument(kLengthId), *length);
}
