#include "ui/pages/Q1_AIFBFlow.h"

#include <utility>

#include "controls/base/ControlArguments.h"
#include "dataset/VariableFields.h"
#include "ui/pages/AiBlockResources.h"
#include "ui/pages/AiFlowRecords.h"
#include "ui/pages/PageDecoration.h"

namespace {

constexpr ULONG kDisplayOnly = kControlDefaultColors;

// Record rows come before their members' rows: loading a record stores its members before their rows load,
// and at a show each record hands its state to its members before their own rows.
const ParameterMap& AiFlowMap() {
    static const ParameterMap map{
        {66, "", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {60, "", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {69, "", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {aiflow::kPvScale, "", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {aiflow::kOutScale, "", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {aiflow::kSimulation, "", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {68, "", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {65, "TargetMode", 0, IDC_AF_TARGET_MODE, "", 0, kControlComboBox},
        {61, "Static Revision", 0, IDC_AF_STATIC_REVISION_VALUE, "%u", kAccessDeviceReadWrite, kDisplayOnly},
        {62, "Tag", 0, IDC_AF_TAG, "%s", 0, 0},
        {63, "Strategy", 0, IDC_AF_STRATEGY, "%u", 0, 0},
        {64, "AlertKey", 0, IDC_AF_ALERT_KEY, "%i", 0, 0},
        {67, "Alarm", 0, IDC_AF_ALARM, "%s", 0, 0},
        {75, "FailsafeType", 0, IDC_AF_FAILSAFE_TYPE, "", 0, kControlComboBox},
        {76, "FailsafeValue", 0, IDC_AF_FAILSAFE_VALUE, "%.5f", 0, 0},
        {aiflow::kPvAt0, "PercentFlow0", 0, IDC_AF_PV_AT_0, "%.5f", 0, 0},
        {aiflow::kPvAt100, "PercentFlow100", 0, IDC_AF_PV_AT_100, "%.5f", 0, 0},
        {aiflow::kOutAt100, "UpperLimit", 0, IDC_AF_OUT_AT_100, "%g", 0, 0},
        {aiflow::kOutAt0, "LowerLimit", 0, IDC_AF_OUT_AT_0, "%g", 0, 0},
        {aiflow::kOutUnit, "Units", 0, IDC_AF_OUT_UNIT, "", 0, kControlComboBox},
        {aiflow::kDecimalPoint, "DecimalPoint", 0, IDC_AF_DECIMAL_POINT, "%u", 0, 0},
        {72, "LinearizationType", 0, IDC_AF_LINEARIZATION, "", 0, kControlComboBox},
        {73, "FlowSourceChannel", 0, IDC_AF_CHANNEL, "%u", 0, 0},
        {74, "PVFilterTime", 0, IDC_AF_FILTER_TIME, "%g", 0, 0},
        {77, "AlarmHysteresis", 0, IDC_AF_HYSTERESIS, "%g", 0, 0},
        {78, "HiHiAlarmLimit", 0, IDC_AF_HIHI_LIMIT, "%g", 0, 0},
        {79, "HiAlarmLimit", 0, IDC_AF_HI_LIMIT, "%g", 0, 0},
        {80, "LoAlarmLimit", 0, IDC_AF_LO_LIMIT, "%g", 0, 0},
        {81, "LoLoAlarmLimit", 0, IDC_AF_LOLO_LIMIT, "%g", 0, 0},
        {83, "OutputUnitText", 0, IDC_AF_OUT_UNIT_TEXT, "%s", 0, 0},
        {aiflow::kSimValue, "SimValue", 0, IDC_AF_SIM_VALUE, "%.5f", 0, 0},
        {aiflow::kSimStatus, "SimStatus", 0, IDC_AF_SIM_STATUS, "", 0, kControlComboBox},
        {aiflow::kSimEnable, "SimEnabled", 0, IDC_AF_SIM_ENABLE, "", 0, kControlComboBox},
    };
    return map;
}

// The page's read every two seconds while shown online: OUT, static revision, block object, alarm summary.
constexpr ULONG kCyclicIds[] = {69, 61, 60, 67};

constexpr COLORREF kModeColor = 0xD7FDD5, kTagColor = 0xD2FFFF, kScaleColor = 0xAED7FF,
                   kAlarmColor = 0xD7FDD5;
constexpr PageAreaColor kAreaColors[] = {
    {IDC_AF_FRAME_OVERLAY, IDC_AF_FRAME, kModeColor},
    {IDC_AF_MODE_OVERLAY, IDC_AF_MODE_OVERLAY, kModeColor},
    {6449, 6461, kModeColor},
    {IDC_AF_TAG_OVERLAY, IDC_AF_TAG_OVERLAY, kTagColor},
    {6462, 6476, kTagColor},
    {IDC_AF_SCALE_OVERLAY, IDC_AF_SCALE_OVERLAY, kScaleColor},
    {6477, 6487, kScaleColor},
    {6503, 6504, kScaleColor},
    {IDC_AF_ALARM_OVERLAY, IDC_AF_ALARM_OVERLAY, kAlarmColor},
    {6488, 6502, kAlarmColor},
};

constexpr PageOverlay kOverlays[] = {{IDC_AF_FRAME_OVERLAY, IDC_AF_FRAME},
                                     {IDC_AF_MODE_OVERLAY, IDC_AF_MODE_AREA},
                                     {IDC_AF_TAG_OVERLAY, IDC_AF_TAG_AREA},
                                     {IDC_AF_SCALE_OVERLAY, IDC_AF_SCALE_AREA},
                                     {IDC_AF_ALARM_OVERLAY, IDC_AF_ALARM_AREA}};

constexpr BlockPageDesign kDesign =
    MakeBlockPageDesign(kOverlays, kAreaColors, CyclicReading::WhilePageOnline, kCyclicIds);

ql::Variant AccessFieldMask() noexcept {
    ql::Variant mask;
    mask.SetI4(static_cast<LONG>(kFieldAccess));
    return mask;
}

}  // namespace

CQ1_AIFBFlow::CQ1_AIFBFlow() noexcept
    : CEditableBlockPage(IDD_Q1_AIFBFLOW, IDS_Q1_AIFBFLOW_TITLE, CLSID_Q1_AIFBFlow, AiFlowMap(), kDesign) {}

HRESULT CQ1_AIFBFlow::FinalConstruct() noexcept { return AttachBlockPage(GetControllingUnknown()); }

// --- row states ---

HRESULT CQ1_AIFBFlow::SetStateById(ULONG id, ULONG flags) noexcept {
    const aiflow::MemberList members = aiflow::MembersOf(id);
    if (members.count != 0) {
        // A transfer's mark on the record is that transfer's own and is taken off the record alone when it
        // ends: the members get the record's state without it. A member whose access word kept the online
        // mark would have its later values announced instead of stored.
        const ULONG memberFlags = flags & ~(kAccessOnlineTransferMark | kAccessOfflineStoreMark);
        for (size_t i = 0; i < members.count; ++i)
            // SetRowState stores the state in the row first; only a hosted child that refuses it fails, and
            // it then shows its old state until the next one.
            (void)CQuelkControlBase::SetStateById(members.ids[i], memberFlags);
        ql::ComPtr<IQuelkVariableFields> fields;
        if (!Variables() || FAILED(Variables()->QueryInterface(IID_IQuelkVariableFields, fields.PutVoid())) ||
            !fields) {
            return E_POINTER;
        }
        // The record's state becomes its members' access words, so a read-only record stays read-only
        // in every member.
        for (size_t i = 0; i < members.count; ++i) {
            // The members are the page's own dataset items: a word the store refuses (an id it does not hold)
            // leaves nothing to mark.
            (void)fields->SetVariableField(*UlongArgument(members.ids[i]), *AccessFieldMask(),
                                           *UlongArgument(memberFlags));
        }
        return CQuelkControlBase::SetStateById(id, flags);
    }
    const ULONG record = aiflow::RecordOf(id);
    // SetRowState stores the state in the row first; only a hosted child that refuses it fails, and it then
    // shows its old state until the next one.
    if (record != id) (void)CQuelkControlBase::SetStateById(record, flags);
    return CQuelkControlBase::SetStateById(id, flags);
}

// --- commit ---

HRESULT CQ1_AIFBFlow::CommitParameter(ULONG id) noexcept {
    return CQuelkOnlinePage::CommitParameter(enterCommit_ ? aiflow::RecordOf(id) : id);
}

void CQ1_AIFBFlow::CommitControl(HWND control) noexcept {
    // The validity check, the messages and the read-back keep the edited member's own id; only the write
    // goes to its record.
    const bool previous = std::exchange(enterCommit_, true);
    CEditableBlockPage::CommitControl(control);
    enterCommit_ = previous;
}
