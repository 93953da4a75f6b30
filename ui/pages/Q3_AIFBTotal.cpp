#include "ui/pages/Q3_AIFBTotal.h"

#include <string>

#include "ui/pages/AiBlockResources.h"
#include "ui/pages/BlockDisplay.h"
#include "ui/pages/ByteText.h"
#include "ui/pages/PageDecoration.h"
#include "ui/pages/UpdatingScope.h"

namespace {

constexpr ULONG kDisplayOnly = kControlDefaultColors;
constexpr ULONG kBlockObjectId = 84, kStaticRevisionId = 85, kTagId = 86, kTargetModeId = 89;
constexpr ULONG kModeBlockId = 90, kTotalizerId = 93, kUnitId = 94;
constexpr ULONG kSetTotalizerId = 96, kModeTotalizerId = 97, kFailTotalizerId = 98;
constexpr ULONG kTagLength = 32;
// The unit labels and the static revision copy are short: at most nine characters arrive.
constexpr int kLabelLimit = 9;

const ParameterMap& AiTotalMap() {
    static const ParameterMap map{
        {kModeBlockId, "", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {kBlockObjectId, "", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {92, "", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {kTargetModeId, "TargetMode", 0, IDC_AT_TARGET_MODE, "", 0, kControlComboBox},
        {kStaticRevisionId, "Static Revision", 0, IDC_AT_STATIC_REVISION_VALUE, "%u", kAccessDeviceReadWrite,
         kDisplayOnly},
        {kTagId, "Tag", 0, IDC_AT_TAG, "%s", 0, 0},
        {87, "Strategy", 0, IDC_AT_STRATEGY, "%u", 0, 0},
        {88, "AlertKey", 0, IDC_AT_ALERT_KEY, "%i", 0, 0},
        {91, "Alarm", 0, IDC_AT_ALARM, "%s", 0, 0},
        {kTotalizerId, "", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {kUnitId, "Units", 0, IDC_AT_UNIT, "", 0, kControlComboBox},
        {95, "Channel", 0, IDC_AT_CHANNEL, "%u", 0, 0},
        {kSetTotalizerId, "SetTotalizer", 0, IDC_AT_SET_TOTALIZER, "", 0, kControlComboBox},
        {kModeTotalizerId, "ModeTotalizer", 0, IDC_AT_MODE_TOTALIZER, "", 0, kControlComboBox},
        {kFailTotalizerId, "FailTotalizer", 0, IDC_AT_FAIL_TOTALIZER, "", 0, kControlComboBox},
        {99, "PresetTotalizer", 0, IDC_AT_PRESET, "%f", 0, 0},
        {100, "AlarmHysteresis", 0, IDC_AT_HYSTERESIS, "%f", 0, 0},
        {101, "HiHiLimit", 0, IDC_AT_HIHI_LIMIT, "%f", 0, 0},
        {102, "HiLimit", 0, IDC_AT_HI_LIMIT, "%f", 0, 0},
        {103, "LoLimit", 0, IDC_AT_LO_LIMIT, "%f", 0, 0},
        {104, "LoLoLimit", 0, IDC_AT_LOLO_LIMIT, "%f", 0, 0},
    };
    return map;
}

// The page's read every two seconds while shown online: totalizer, mode block, static revision.
constexpr ULONG kCyclicIds[] = {kTotalizerId, kModeBlockId, kStaticRevisionId};

constexpr COLORREF kModeColor = 0xD7FDD5, kTagColor = 0xD2FFFF, kSetupColor = 0xAED7FF;
constexpr PageAreaColor kAreaColors[] = {
    {IDC_AT_FRAME_OVERLAY, IDC_AT_FRAME, kModeColor},
    {IDC_AT_MODE_OVERLAY, IDC_AT_MODE_OVERLAY, kModeColor},
    {6449, 6461, kModeColor},
    {IDC_AT_TAG_OVERLAY, IDC_AT_TAG_OVERLAY, kTagColor},
    {6462, 6471, kTagColor},
    {IDC_AT_SETUP_OVERLAY, IDC_AT_SETUP_OVERLAY, kSetupColor},
    {6472, 6491, kSetupColor},
    {6503, 6503, kSetupColor},
};

constexpr PageOverlay kOverlays[] = {{IDC_AT_FRAME_OVERLAY, IDC_AT_FRAME},
                                     {IDC_AT_MODE_OVERLAY, IDC_AT_MODE_AREA},
                                     {IDC_AT_TAG_OVERLAY, IDC_AT_TAG_AREA},
                                     {IDC_AT_SETUP_OVERLAY, IDC_AT_SETUP_AREA}};

constexpr BlockPageDesign kDesign =
    MakeBlockPageDesign(kOverlays, kAreaColors, CyclicReading::WhilePageOnline, kCyclicIds);

constexpr BlockHeadItems kHeadItems{
    kBlockObjectId,
    {IDC_AT_BLOCK_OBJECT, IDC_AT_PARENT_CLASS, IDC_AT_CLASS, IDC_AT_PROFILE_REVISION},
    kTagId,
    IDC_AT_TAG,
    kModeBlockId,
    {IDC_AT_ACTUAL_MODE, IDC_AT_NORMAL_MODE, IDC_AT_PERMITTED_AUTO, IDC_AT_PERMITTED_OS,
     IDC_AT_PERMITTED_MAN},
    kTotalizerId,
    {IDC_AT_QUALITY, IDC_AT_SUBSTATUS, IDC_AT_LIMITS, IDC_AT_VALUE}};

}  // namespace

CQ3_AIFBTotal::CQ3_AIFBTotal() noexcept
    : CEditableBlockPage(IDD_Q3_AIFBTOTAL, IDS_Q3_AIFBTOTAL_TITLE, CLSID_Q3_AIFBTotal, AiTotalMap(),
                         kDesign) {}

HRESULT CQ3_AIFBTotal::FinalConstruct() noexcept { return AttachBlockPage(GetControllingUnknown()); }

// --- display and read-back ---

HRESULT CQ3_AIFBTotal::ShowValueById(ULONG id, VARIANT value) noexcept {
    UpdatingScope updating(m_updating);
    const HWND dialog = DialogWindow();
    if (ShowBlockHead(dialog, kHeadItems, id, value)) return S_OK;
    const HRESULT result = CQuelkControlBase::ShowValueById(id, value);
    // The base display clears the flag when it is done; what follows is the page's own writing again.
    UpdatingScope ownWrites(m_updating);
    if (id == kStaticRevisionId) {
        CopyItemText(dialog, IDC_AT_STATIC_REVISION_VALUE, {IDC_AT_STATIC_REVISION}, kLabelLimit);
    } else if (id == kUnitId) {
        ShowUnitLabels();
    }
    return result;
}

void CQ3_AIFBTotal::ShowUnitLabels() noexcept {
    UpdatingScope updating(m_updating);
    CopyItemText(DialogWindow(), IDC_AT_UNIT, {6471, 6483, 6484, 6486, 6487}, kLabelLimit);
}

HRESULT CQ3_AIFBTotal::ReadParameterDisplayByID(ULONG id, VARIANT* value) noexcept {
    QL_RETURN_IF_NULL_OUT(value);
    QL_RETURN_HR_IF(E_INVALIDARG, id == kEndRowId);
    if (id == kTagId) {
        try {
            return TextToOctetString(ItemText(DialogWindow(), IDC_AT_TAG, static_cast<int>(kTagLength)),
                                     kTagLength, value);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    if (id == kTargetModeId || id == kSetTotalizerId || id == kModeTotalizerId || id == kFailTotalizerId) {
        return ReadNarrowed(id, VT_UI1, value);
    }
    if (id == kUnitId) return ReadNarrowed(id, VT_UI2, value);
    const int row = FindParamRow(id);
    QL_RETURN_HR_IF(E_INVALIDARG, row < 0);
    return ReadParameterDisplay(static_cast<UINT>(row), value);
}

// --- commit ---

void CQ3_AIFBTotal::CommitControl(HWND control) noexcept {
    CEditableBlockPage::CommitControl(control);
    const HWND unit = DialogWindow() ? ::GetDlgItem(DialogWindow(), IDC_AT_UNIT) : nullptr;
    if (control && control == unit) ShowUnitLabels();
}
