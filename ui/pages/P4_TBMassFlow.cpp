#include "ui/pages/P4_TBMassFlow.h"

#include "classlib/Variant.h"
#include "ui/pages/BlockDisplay.h"
#include "ui/pages/ByteText.h"
#include "ui/pages/PageDecoration.h"
#include "ui/pages/PageResources.h"
#include "ui/pages/PipeDimensions.h"
#include "ui/pages/TypedValues.h"
#include "ui/pages/UpdatingScope.h"

namespace {

constexpr ULONG kDisplayOnly = kControlDefaultColors;

constexpr ULONG kDiameterId = 44, kSizeUnitId = 45, kMassFlowId = 46, kFlowUnitId = 47, kShapeId = 50;
constexpr ULONG kTagId = 33, kTagLength = 32;
// The DTM's own copy of the flow unit, kept in step with what the page shows.
constexpr ULONG kFlowUnitCopyId = 131;
constexpr ULONG kZeroUnitId = 43, kStaticRevisionId = 32;
constexpr ULONG kBlockObjectId = 31, kTargetModeId = 36, kModeBlockId = 37;
constexpr USHORT kMakerSpecificFlowUnit = 1999;

const ParameterMap& MassFlowMap() {
    static const ParameterMap map{
        {kTargetModeId, "TargetMode", 0, IDC_MF_TARGET_MODE, "", 0, kControlComboBox},
        {37, "", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {31, "", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {32, "Static Revision", 0, IDC_MF_STATIC_REVISION_VALUE, "%u", kAccessDeviceReadWrite, kDisplayOnly},
        {33, "Tag", 0, IDC_MF_TAG, "%s", 0, 0},
        {34, "Strategy", 0, IDC_MF_STRATEGY, "%u", 0, 0},
        {35, "AlertKey", 0, IDC_MF_ALERT_KEY, "%i", 0, 0},
        {22, "Alarm", 0, IDC_MF_ALARM, "%s", 0, 0},
        {46, "", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {47, "FlowUnit", 0, IDC_MF_FLOW_UNIT, "", 0, kControlComboBox},
        {48, "HighLimit", 0, IDC_MF_HIGH_LIMIT, "%f", 0, 0},
        {49, "LowLimit", 0, IDC_MF_LOW_LIMIT, "%f", 0, 0},
        {44, "Size", 0, IDC_MF_DIAMETER, "%f", 0, 0},
        {45, "SizeUnits", 0, IDC_MF_SIZE_UNIT, "", 0, kControlComboBox},
        {40, "CutOff", 0, IDC_MF_CUT_OFF, "%f", 0, 0},
        {39, "Factor", 0, IDC_MF_FACTOR, "%f", 0, 0},
        {41, "Point", 0, IDC_MF_ZERO_POINT, "%f", 0, 0},
        {42, "PointAdjust", 0, IDC_MF_ZERO_ADJUST, "%i", 0, 0},
        {43, "PointUnit", 0, IDC_MF_ZERO_UNIT, "", 0, kControlComboBox},
        {56, "eTrBl_orvo_units", 0, IDC_MF_MAKER_UNIT, "", 0, kControlComboBox},
        {50, "eTrBl_TubeShape", 0, IDC_MF_TUBE_SHAPE, "", 0, kControlComboBox},
        {51, "eiTrBl_NominalSize_W", 0, IDC_MF_DUCT_WIDTH, "%.6f", 0, 0},
        {52, "eiTrBl_NominalSize_L", 0, IDC_MF_DUCT_LENGTH, "%.6f", 0, 0},
        {53, "eTrBl_TubeShape", 0, 0, "", 0, kDisplayOnly},
        {54, "eiTrBl_NominalSize_W", 0, 0, "%.6f", 0, kDisplayOnly},
        {55, "eiTrBl_NominalSize_L", 0, 0, "%.6f", 0, kDisplayOnly},
    };
    return map;
}

constexpr BlockHeadItems kHeadItems{
    kBlockObjectId,
    {IDC_MF_BLOCK_OBJECT, IDC_MF_PARENT_CLASS, IDC_MF_CLASS, IDC_MF_PROFILE_REVISION},
    kTagId,
    IDC_MF_TAG,
    kModeBlockId,
    {IDC_MF_ACTUAL_MODE, IDC_MF_NORMAL_MODE, IDC_MF_PERMITTED_AUTO, IDC_MF_PERMITTED_OS,
     IDC_MF_PERMITTED_MAN},
    kMassFlowId,
    {IDC_MF_FLOW_QUALITY, IDC_MF_FLOW_SUBSTATUS, IDC_MF_FLOW_LIMITS, IDC_MF_FLOW_VALUE}};

// The page's read every two seconds while online: mass flow, static revision, mode block.
constexpr ULONG kCyclicIds[] = {46, 32, 37};

constexpr PageAreaColor kAreaColors[] = {
    {IDC_MF_FRAME_OVERLAY, 6125, 0xD7FDD5},
    {IDC_MF_MODE_OVERLAY, IDC_MF_MODE_OVERLAY, 0xD7FDD5},
    {6270, 6272, 0xD7FDD5},
    {6421, 6430, 0xD7FDD5},
    {IDC_MF_FLOW_OVERLAY, IDC_MF_FLOW_OVERLAY, 0xD2FFFF},
    {6273, 6279, 0xD2FFFF},
    {6432, 6439, 0xD2FFFF},
    {6126, 6127, 0xAED7FF},
    {IDC_MF_SIZE_OVERLAY, IDC_MF_SIZE_OVERLAY, 0xAED7FF},
    {6134, 6134, 0xAED7FF},
    {6440, 6453, 0xAED7FF},
    {6518, 6518, 0xAED7FF},
};

constexpr PageOverlay kOverlays[] = {{IDC_MF_FRAME_OVERLAY, IDC_MF_FRAME},
                                     {IDC_MF_MODE_OVERLAY, IDC_MF_MODE_AREA},
                                     {IDC_MF_FLOW_OVERLAY, IDC_MF_FLOW_AREA},
                                     {IDC_MF_SIZE_OVERLAY, IDC_MF_SIZE_AREA}};

constexpr BlockPageDesign kDesign =
    MakeBlockPageDesign(kOverlays, kAreaColors, CyclicReading::WhileDtmOnline, kCyclicIds);

}  // namespace

CP4_TBMassFlow::CP4_TBMassFlow() noexcept
    : CEditableBlockPage(IDD_P4_TBMASSFLOW, IDS_P4_TBMASSFLOW_TITLE, CLSID_P4_TBMassFlow, MassFlowMap(),
                         kDesign) {}

HRESULT CP4_TBMassFlow::FinalConstruct() noexcept { return AttachBlockPage(GetControllingUnknown()); }

// --- display ---

HRESULT CP4_TBMassFlow::ShowValueById(ULONG id, VARIANT value) noexcept {
    UpdatingScope updating(m_updating);
    const HWND dialog = DialogWindow();
    if (ShowBlockHead(dialog, kHeadItems, id, value)) return S_OK;
    const HRESULT result = CQuelkControlBase::ShowValueById(id, value);
    switch (id) {
        case kStaticRevisionId:
            CopyItemText(dialog, IDC_MF_STATIC_REVISION_VALUE, {IDC_MF_STATIC_REVISION}, kLabelLimit);
            break;
        case kZeroUnitId:
            CopyItemText(dialog, IDC_MF_ZERO_UNIT, {IDC_MF_ZERO_UNIT_LABEL}, kLabelLimit);
            break;
        case kSizeUnitId:
            CopyItemText(dialog, IDC_MF_SIZE_UNIT,
                         {IDC_MF_DIAMETER_UNIT_LABEL, IDC_MF_LENGTH_UNIT_LABEL, IDC_MF_WIDTH_UNIT_LABEL},
                         kLabelLimit);
            break;
        case kFlowUnitId:
            ShowFlowUnit(value);
            break;
        case kDiameterId:
            ApplyTubeShape(StoredTubeShape());
            break;
        case kShapeId: {
            ql::Variant shape;
            // A copy that fails stays empty and reads as shape 0, as a value that is no shape does.
            (void)shape.CopyFrom(value);
            ApplyTubeShape(static_cast<BYTE>(SUCCEEDED(shape.ChangeType(VT_UI1)) ? V_UI1(shape.Get()) : 0));
            break;
        }
        default:
            break;
    }
    return result;
}

// The DTM keeps its own copy of the flow unit; the unit labels follow the flow unit (or the maker's unit),
// and the nominal-size unit follows the unit system. A unit of the dataset is followed there; the device's
// is followed only on the page, since the dataset keeps its own units.
void CP4_TBMassFlow::ShowFlowUnit(const VARIANT& value) noexcept {
    ql::Variant unit;
    // A copy that fails stays empty: no unit (below).
    (void)unit.CopyFrom(value);
    // A value that is no unit is shown as it comes, but becomes no stored 0.
    const bool isUnit = unit.Type() != VT_EMPTY && SUCCEEDED(unit.ChangeType(VT_UI2));
    const USHORT flowUnit = isUnit ? V_UI2(unit.Get()) : 0;
    const bool stored = !ShowsDeviceValue();
    if (isUnit && stored) StoreValue(kFlowUnitCopyId, *UnitValue(flowUnit));
    const UINT source = flowUnit == kMakerSpecificFlowUnit ? IDC_MF_MAKER_UNIT : IDC_MF_FLOW_UNIT;
    CopyItemText(DialogWindow(), source,
                 {IDC_MF_FLOW_UNIT_LABEL, IDC_MF_HIGH_UNIT_LABEL, IDC_MF_LOW_UNIT_LABEL}, kLabelLimit);
    const USHORT sizeUnit = massflow::IsImperialFlowUnit(flowUnit) ? massflow::kSizeUnitInch
                            : massflow::IsMetricFlowUnit(flowUnit) ? massflow::kSizeUnitMillimetre
                                                                   : 0;
    if (sizeUnit == 0) return;
    if (stored) {
        StoreValue(kSizeUnitId, *UnitValue(sizeUnit));
    } else {
        // Shown as the dataset's would be after a store; a unit the page cannot show leaves the box as it is.
        (void)ShowValueById(kSizeUnitId, *UnitValue(sizeUnit));
    }
}

void CP4_TBMassFlow::ApplyTubeShape(BYTE shape) noexcept {
    const HWND dialog = DialogWindow();
    if (!dialog) return;
    const bool pipe = shape == 0;
    ::EnableWindow(::GetDlgItem(dialog, IDC_MF_DIAMETER), pipe);
    ::EnableWindow(::GetDlgItem(dialog, IDC_MF_DUCT_LENGTH), !pipe);
    ::EnableWindow(::GetDlgItem(dialog, IDC_MF_DUCT_WIDTH), !pipe);
}

BYTE CP4_TBMassFlow::StoredTubeShape() noexcept {
    BYTE shape = 0;
    return SUCCEEDED(StoredTubeShape(shape)) ? shape : 0;
}

HRESULT CP4_TBMassFlow::StoredTubeShape(BYTE& shape) noexcept {
    ql::Variant value;
    QL_RETURN_IF_FAILED(GetParameterValue(kShapeId, value.Put()));
    QL_RETURN_HR_IF(E_FAIL, value.Type() == VT_EMPTY);
    QL_RETURN_IF_FAILED(value.ChangeType(VT_UI1));
    shape = V_UI1(value.Get());
    return S_OK;
}

// --- read-back ---

HRESULT CP4_TBMassFlow::ReadParameterDisplayByID(ULONG id, VARIANT* value) noexcept {
    QL_RETURN_IF_NULL_OUT(value);
    const int row = FindParamRow(id);
    QL_RETURN_HR_IF(E_INVALIDARG, row < 0);
    if (id == kTagId) {
        char text[kTagLength + 1] = {};
        // An item that cannot be read gives the empty tag (the buffer starts empty).
        (void)::GetDlgItemTextA(DialogWindow(), IDC_MF_TAG, text, sizeof text);
        return TextToOctetString(text, kTagLength, value);
    }
    if (id == kTargetModeId || id == kShapeId) return ReadNarrowed(id, VT_UI1, value);
    if (id == kZeroUnitId || id == kSizeUnitId || id == kFlowUnitId) return ReadNarrowed(id, VT_UI2, value);
    return ReadParameterDisplay(static_cast<UINT>(row), value);
}

// --- window ---

LRESULT CP4_TBMassFlow::OnShowWindow(UINT message, WPARAM show, LPARAM lParam, BOOL& handled) noexcept {
    const LRESULT result = CEditableBlockPage::OnShowWindow(message, show, lParam, handled);
    if (show) {
        ApplyTubeShape(StoredTubeShape());
        ShowPicture(DialogWindow(), IDC_MF_PIPE_PICTURE, IDB_PIPE_PICTURE, pipePicture_);
        ShowPicture(DialogWindow(), IDC_MF_DUCT_PICTURE, IDB_DUCT_PICTURE, ductPicture_);
    }
    return result;
}
