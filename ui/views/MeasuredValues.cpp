#include "ui/views/MeasuredValues.h"

#include <cstdio>

#include "classlib/Himetric.h"
#include "classlib/Variant.h"
#include "controls/base/ControlArguments.h"
#include "dtm/documents/PaRecordDecoders.h"
#include "dtm/documents/PaStatusTexts.h"
#include "ui/pages/PageDecoration.h"
#include "ui/pages/UpdatingScope.h"
#include "ui/views/ViewResources.h"

namespace {

constexpr ULONG kMassFlowId = 46;
constexpr ULONG kMassFlowUnitId = 47;
constexpr ULONG kFlowOutId = 69;
constexpr ULONG kOutputScaleId = 71;
constexpr ULONG kTotalizerId = 93;
constexpr ULONG kTotalizerUnitId = 94;
constexpr ULONG kFlowUnitId = 109;
constexpr ULONG kValueRowState = kAccessDeviceReadWrite;
constexpr int kUnitTextChars = 101;  // at most 100 characters of a unit's text

// The rows carry no window of their own for the values: the view fills its groups' fields itself. The unit
// rows are bound to the hidden combos, which turn a unit code into its text.
const ParameterMap& MeasuredValuesMap() {
    static const ParameterMap map{
        {kMassFlowId, "", 0, 0, "", kValueRowState, kControlDefaultColors},
        {kMassFlowUnitId, "", 0, IDC_MV_MASSFLOW_UNIT_COMBO, "", 0, kControlComboBox},
        {kFlowOutId, "", 0, 0, "", kValueRowState, kControlDefaultColors},
        {kOutputScaleId, "", 0, 0, "", kValueRowState, kControlDefaultColors},
        {kFlowUnitId, "", 0, IDC_MV_FLOW_UNIT_COMBO, "", 0, kControlComboBox},
        {kTotalizerId, "", 0, 0, "", kValueRowState, kControlDefaultColors},
        {kTotalizerUnitId, "", 0, IDC_MV_TOTAL_UNIT_COMBO, "", 0, kControlComboBox},
    };
    return map;
}

// The fields of one value's group, and where its unit's text comes from.
struct ValueGroup {
    ULONG valueId;
    UINT value, quality, substatus, limits;
    ULONG unitId;
    UINT unitCombo, unitStatic;
};

constexpr ValueGroup kGroups[] = {
    {kMassFlowId, IDC_MV_MASSFLOW_VALUE, IDC_MV_MASSFLOW_QUALITY, IDC_MV_MASSFLOW_SUBSTATUS,
     IDC_MV_MASSFLOW_LIMITS, kMassFlowUnitId, IDC_MV_MASSFLOW_UNIT_COMBO, IDC_MV_MASSFLOW_UNIT},
    {kFlowOutId, IDC_MV_FLOW_VALUE, IDC_MV_FLOW_QUALITY, IDC_MV_FLOW_SUBSTATUS, IDC_MV_FLOW_LIMITS,
     kFlowUnitId, IDC_MV_FLOW_UNIT_COMBO, IDC_MV_FLOW_UNIT},
    {kTotalizerId, IDC_MV_TOTAL_VALUE, IDC_MV_TOTAL_QUALITY, IDC_MV_TOTAL_SUBSTATUS, IDC_MV_TOTAL_LIMITS,
     kTotalizerUnitId, IDC_MV_TOTAL_UNIT_COMBO, IDC_MV_TOTAL_UNIT},
};

const ValueGroup* GroupOfValue(ULONG id) noexcept {
    for (const ValueGroup& group : kGroups) {
        if (group.valueId == id) return &group;
    }
    return nullptr;
}

const ValueGroup* GroupOfUnit(ULONG id) noexcept {
    for (const ValueGroup& group : kGroups) {
        if (group.unitId == id) return &group;
    }
    return nullptr;
}

constexpr PageOverlay kOverlays[] = {
    {IDC_MV_MASSFLOW_OVERLAY, IDC_MV_MASSFLOW_GROUP},
    {IDC_MV_FLOW_OVERLAY, IDC_MV_FLOW_GROUP},
    {IDC_MV_TEMP_OVERLAY, IDC_MV_TEMP_GROUP},
    {IDC_MV_TOTAL_OVERLAY, IDC_MV_TOTAL_GROUP},
};

// The value and status fields: green text on the button face.
constexpr PageAreaColor kFieldRanges[] = {
    {6026, 6029, 0}, {IDC_MV_FLOW_VALUE, IDC_MV_FLOW_VALUE, 0}, {6346, 6348, 0}, {6013, 6016, 0},
    {6009, 6012, 0},
};
constexpr COLORREF kFieldText = 0x0029A015;

// The groups' areas: the group box, its overlay, captions and unit static.
constexpr PageAreaColor kAreaColors[] = {
    {IDC_MV_MASSFLOW_GROUP, IDC_MV_MASSFLOW_GROUP, 0x00FFFF96},
    {IDC_MV_MASSFLOW_OVERLAY, IDC_MV_MASSFLOW_OVERLAY, 0x00FFFF96},
    {6171, 6172, 0x00FFFF96},
    {6174, 6176, 0x00FFFF96},
    {IDC_MV_FLOW_GROUP, IDC_MV_FLOW_GROUP, 0x00AED7FF},
    {IDC_MV_FLOW_OVERLAY, IDC_MV_FLOW_OVERLAY, 0x00AED7FF},
    {6204, 6208, 0x00AED7FF},
    {IDC_MV_TEMP_GROUP, IDC_MV_TEMP_GROUP, 0x00D7FDD5},
    {IDC_MV_TEMP_OVERLAY, IDC_MV_TEMP_OVERLAY, 0x00D7FDD5},
    {6209, 6212, 0x00D7FDD5},
    {IDC_MV_TEMP_UNIT, IDC_MV_TEMP_UNIT, 0x00D7FDD5},
    {IDC_MV_TOTAL_GROUP, IDC_MV_TOTAL_GROUP, 0x00D2FFFF},
    {IDC_MV_TOTAL_OVERLAY, IDC_MV_TOTAL_OVERLAY, 0x00D2FFFF},
    {6160, 6161, 0x00D2FFFF},
    {6213, 6215, 0x00D2FFFF},
};

}  // namespace

CMeasuredValues::CMeasuredValues() noexcept
    : CCyclicView(IDD_MEASUREDVALUES, CLSID_MeasuredValues, MeasuredValuesMap(), kFunctionMeasuredValue,
                  L"MeasuredValues Class") {}

HRESULT CMeasuredValues::FinalConstruct() noexcept {
    return AttachView(GetControllingUnknown(), {kMassFlowId, kFlowOutId, kTotalizerId});
}

HRESULT CMeasuredValues::GetExtent(DWORD aspect, SIZEL* size) noexcept {
    QL_RETURN_HR_IF(E_FAIL, aspect != DVASPECT_CONTENT);
    QL_RETURN_IF_NULL_OUT(size);
    QL_RETURN_IF_FAILED(ql::DialogControl::GetExtent(aspect, size));
    scroller_.SetContentSize(ql::HimetricToPixels(*size));
    return S_OK;
}

// --- values ---

HRESULT CMeasuredValues::ShowValueById(ULONG id, VARIANT value) noexcept {
    if (GroupOfValue(id)) {
        ShowValueWithStatus(id, value);
        return S_OK;
    }
    if (id == kOutputScaleId) {
        TakeScaleUnit(value);
        CopyUnitText(kFlowUnitId);
        return S_OK;
    }
    HRESULT result = S_OK;
    for (UINT row = 0; row < RowCount(); ++row) {
        if (Row(row).id != id) continue;
        result = ShowValue(row, value);
        if (FAILED(result)) return result;
    }
    CopyUnitText(id);
    return result;
}

void CMeasuredValues::ShowValueWithStatus(ULONG id, const VARIANT& value) noexcept {
    const ValueGroup* group = GroupOfValue(id);
    const HWND dialog = DialogWindow();
    if (!group || !dialog) return;
    float number = 0.0f;
    BYTE status = 0;
    DecodeFloatWithStatus(value, &number, &status);
    const char* quality = "";
    const char* substatus = "";
    const char* limits = "";
    FormatPaStatus(status, &quality, &substatus, &limits);
    char text[64] = {};
    std::snprintf(text, sizeof(text), "%.5f", static_cast<double>(number));
    // The view's own writes into its fields are no edits.
    UpdatingScope updating(m_updating);
    ::SetDlgItemTextA(dialog, static_cast<int>(group->value), text);
    ::SetDlgItemTextA(dialog, static_cast<int>(group->quality), quality);
    ::SetDlgItemTextA(dialog, static_cast<int>(group->substatus), substatus);
    ::SetDlgItemTextA(dialog, static_cast<int>(group->limits), limits);
}

void CMeasuredValues::TakeScaleUnit(const VARIANT& scale) noexcept {
    USHORT unit = 0;
    DecodeScaleRecord(scale, nullptr, nullptr, &unit, nullptr);
    if (!Variables()) return;
    ql::Variant id;
    id.SetI4(static_cast<LONG>(kFlowUnitId));
    ql::Variant code;
    V_VT(code.Put()) = VT_UI2;
    V_UI2(code.Get()) = unit;
    // A unit the dataset refuses leaves the flow group's unit as the combo shows it.
    (void)Variables()->SetValue(*id, *code);
}

void CMeasuredValues::CopyUnitText(ULONG id) noexcept {
    const ValueGroup* group = GroupOfUnit(id);
    const HWND dialog = DialogWindow();
    if (!group || !dialog) return;
    char text[kUnitTextChars] = {};
    ::GetDlgItemTextA(dialog, static_cast<int>(group->unitCombo), text, kUnitTextChars);
    ::SetDlgItemTextA(dialog, static_cast<int>(group->unitStatic), text);
}

// --- window ---

LRESULT CMeasuredValues::OnShowWindow(UINT message, WPARAM show, LPARAM lParam, BOOL& handled) noexcept {
    const LRESULT result = CQuelkControlBase::OnShowWindow(message, show, lParam, handled);
    if (show) {
        RestartTimer();
        PlacePageOverlays(DialogWindow(), kOverlays);
        StackOverlays(DialogWindow(), kOverlays);
    }
    return result;
}

LRESULT CMeasuredValues::OnCtlColorStatic(UINT message, WPARAM hdc, LPARAM control, BOOL& handled) noexcept {
    const UINT id = static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(control)));
    COLORREF color = 0;
    if (FindAreaColor(kFieldRanges, id, color))
        return PaintArea(hdc, ::GetSysColor(COLOR_BTNFACE), &kFieldText);
    if (FindAreaColor(kAreaColors, id, color)) return PaintArea(hdc, color);
    return CQuelkControlBase::OnCtlColorStatic(message, hdc, control, handled);
}

LRESULT CMeasuredValues::OnScroll(UINT message, WPARAM wParam, LPARAM, BOOL&) noexcept {
    scroller_.OnScroll(WindowHandle(), message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam),
                       HIWORD(wParam));
    return 0;
}

LRESULT CMeasuredValues::OnSize(UINT, WPARAM, LPARAM, BOOL&) noexcept {
    scroller_.OnSize(WindowHandle());
    return 0;
}
