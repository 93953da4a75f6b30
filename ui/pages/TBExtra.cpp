#include "ui/pages/TBExtra.h"

#include <string>

#include "dataset/VariantArguments.h"
#include "ui/pages/BlockPageCommit.h"
#include "ui/pages/PageDecoration.h"
#include "ui/pages/PageResources.h"

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

bool IsImperialMakerUnit(ULONG unit) { return unit == 1360 || unit == 1361 || unit == 1523 || unit == 1525; }
bool IsMetricMakerUnit(ULONG unit) { return unit == 1521 || unit == 1522 || unit == 1524; }

ULONG UnitOf(const ql::Variant& value) {
    ULONG unit = 0;
    return SUCCEEDED(VariantToUInt32(*value, &unit)) ? unit : 0;
}

ql::Variant IdVariant(ULONG id) {
    ql::Variant item;
    item.SetI4(static_cast<LONG>(id));
    return item;
}

}  // namespace

CTBExtra::CTBExtra() noexcept : CBlockPage(IDD_TBEXTRA, IDS_TBEXTRA_TITLE, ExtraMap()) {}

HRESULT CTBExtra::ShowValueById(ULONG id, VARIANT value) noexcept {
    HRESULT result = S_OK;
    for (UINT row = 0; row < RowCount() && SUCCEEDED(result); ++row) {
        if (Row(row).id == id) result = ShowValue(row, value);
    }
    if (id == kFlowUnitId || id == kMakerUnitId) {
        ql::Variant copy;
        ULONG unit = 0;
        if (SUCCEEDED(::VariantCopy(copy.Get(), &value)) && SUCCEEDED(VariantToUInt32(*copy, &unit))) {
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
    if (id != kMakerUnitId) return ReadParameterDisplay(static_cast<UINT>(row), value);
    ql::Variant read;
    const HRESULT result = ReadParameterDisplay(static_cast<UINT>(row), read.Get());
    (void)read.ChangeType(VT_UI2);  // a failed conversion leaves the value as read
    ql::Variant previous;
    previous.Attach(*value);
    (void)read.Detach(value);
    return result;
}

LRESULT CTBExtra::OnShowWindow(UINT message, WPARAM show, LPARAM lParam, BOOL& handled) noexcept {
    const LRESULT result = CQuelkOnlinePage::OnShowWindow(message, show, lParam, handled);
    if (show) {
        for (UINT row = 0; row < RowCount(); ++row) (void)SetStateById(Row(row).id, Row(row).state);
    }
    PlacePageOverlays(DialogWindow(), kOverlays);
    return result;
}

LRESULT CTBExtra::OnCtlColorStatic(UINT message, WPARAM hdc, LPARAM control, BOOL& handled) noexcept {
    const UINT id = static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(control)));
    COLORREF color = 0;
    if (FindAreaColor(kAreaColors, id, color)) return PaintArea(hdc, color);
    return CQuelkOnlinePage::OnCtlColorStatic(message, hdc, control, handled);
}

LRESULT CTBExtra::OnControlCommit(UINT code, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept {
    const bool userEdit = !IsLoading() && !IsUpdating();
    const LRESULT result = CQuelkOnlinePage::OnControlCommit(code, wParam, lParam, handled);
    if (userEdit && handled) {
        BOOL edited = TRUE;
        (void)OnParameterEdited(code, wParam, lParam, edited);
    }
    return result;
}

ql::Variant CTBExtra::CurrentValue(ULONG id) noexcept {
    ql::Variant value;
    if (FrameMode() == kFrameModeCompare) {
        ql::Variant stored;
        (void)CompareSingleParameter(*IdVariant(id), value.Get(), stored.Get());
    } else if (Variables()) {
        (void)Variables()->GetValue(*IdVariant(id), value.Get());
    }
    return value;
}

HRESULT CTBExtra::ApplyControl(HWND control) noexcept {
    const ULONG sizeUnitBefore = UnitOf(CurrentValue(kSizeUnitId));
    (void)CommitEditedControl(*this, control);
    if (control && DialogWindow() && control == ::GetDlgItem(DialogWindow(), IDC_TBX_MAKER_UNIT)) {
        CoupleMakerUnit(sizeUnitBefore);
    }
    return S_OK;
}

void CTBExtra::CoupleMakerUnit(ULONG sizeUnitBefore) noexcept {
    if (!Variables()) return;
    const bool online = IsOnline();
    if (online) {
        for (ULONG id : {kFlowUnitId, kLimitIds[0], kLimitIds[1], kLimitIds[2], kSizeUnitId}) {
            (void)LoadParameter(id);
        }
    }
    const ULONG makerUnit = UnitOf(CurrentValue(kMakerUnitId));
    double factor = 0;
    ULONG newSizeUnit = 0;
    if (sizeUnitBefore == kMillimetre && IsImperialMakerUnit(makerUnit)) {
        factor = kMmToInch;
        newSizeUnit = kInch;
    } else if (sizeUnitBefore == kInch && IsMetricMakerUnit(makerUnit)) {
        factor = kInchToMm;
        newSizeUnit = kMillimetre;
    } else {
        return;
    }
    ql::Variant diameter = CurrentValue(kDiameterId), width, length;
    (void)Variables()->GetValue(*IdVariant(kWidthId), width.Get());
    (void)Variables()->GetValue(*IdVariant(kLengthId), length.Get());
    if (!online) {
        ql::Variant unit;
        unit.SetUI4(newSizeUnit);
        (void)unit.ChangeType(VT_UI2);
        (void)Variables()->SetValue(*IdVariant(kSizeUnitId), *unit);
    }
    for (ql::Variant* size : {&diameter, &width, &length}) {
        if (FAILED(size->ChangeType(VT_R4))) size->SetR4(0.0f);
        size->SetR4(static_cast<float>(V_R4(size->Get()) * factor));
    }
    VARIANT_BOOL written = VARIANT_FALSE;
    (void)Variables()->WriteToDevice(*IdVariant(kDiameterId), *diameter, &written);
    (void)Variables()->SetValue(*IdVariant(kWidthId), *width);
    (void)Variables()->SetValue(*IdVariant(kLengthId), *length);
}

BOOL CTBExtra::OnEnter(HWND page, HWND focusedChild, const MSG& message) noexcept {
    (void)ApplyControl(focusedChild);
    MSG copy = message;
    return ::IsDialogMessageW(page, &copy);
}
