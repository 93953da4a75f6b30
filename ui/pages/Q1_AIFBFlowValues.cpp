// The AI flow block page's display of the parameters the framework cannot show by itself (block object,
// tag, mode block, OUT value, output unit text, the records split into their members, the unit labels and
// the decimal-point formatting) and its read-back of the octet strings, the enumerations' byte widths and
// the records joined from their members' fields.
//
// Every control the page writes itself is written under the updating flag: the framework then does not take
// the page's own texts (a reformatted limit, a member's new value) for a person's edit, and Apply does not
// write rounded values back.
#include <cstdio>

#include "classlib/Variant.h"
#include "controls/sync/AccessWordMark.h"
#include "dataset/VariableFields.h"
#include "ui/pages/AiBlockResources.h"
#include "ui/pages/AiFlowRecords.h"
#include "ui/pages/AiFlowValues.h"
#include "ui/pages/BlockDisplay.h"
#include "ui/pages/ByteText.h"
#include "ui/pages/Q1_AIFBFlow.h"
#include "ui/pages/TypedValues.h"
#include "ui/pages/UpdatingScope.h"

namespace {

constexpr ULONG kBlockObjectId = 60, kStaticRevisionId = 61, kTagId = 62, kModeBlockId = 66, kOutId = 69;
constexpr ULONG kOutUnitTextId = 83;
constexpr ULONG kTargetModeId = 65, kLinearizationId = 72, kFailSafeTypeId = 75;
constexpr ULONG kTagLength = 32, kUnitTextLength = 16;
// What the page reads of a typed number: enough for any float the fields show.
constexpr int kNumberTextLimit = 99;
// The unit labels are short: at most nine characters of the unit's name arrive.
constexpr int kLabelLimit = 9;

constexpr BlockHeadItems kHeadItems{
    kBlockObjectId,
    {IDC_AF_BLOCK_OBJECT, IDC_AF_PARENT_CLASS, IDC_AF_CLASS, IDC_AF_PROFILE_REVISION},
    kTagId,
    IDC_AF_TAG,
    kModeBlockId,
    {IDC_AF_ACTUAL_MODE, IDC_AF_NORMAL_MODE, IDC_AF_PERMITTED_AUTO, IDC_AF_PERMITTED_OS,
     IDC_AF_PERMITTED_MAN},
    kOutId,
    {IDC_AF_OUT_QUALITY, IDC_AF_OUT_SUBSTATUS, IDC_AF_OUT_LIMITS, IDC_AF_OUT_VALUE}};

// The alarm limits and the hysteresis with the fields that show them in the OUT scale's decimals.
struct LimitField {
    ULONG id;
    UINT item;
};
constexpr LimitField kAlarmLimits[] = {{78, IDC_AF_HIHI_LIMIT},
                                       {79, IDC_AF_HI_LIMIT},
                                       {80, IDC_AF_LO_LIMIT},
                                       {81, IDC_AF_LOLO_LIMIT},
                                       {77, IDC_AF_HYSTERESIS}};

std::optional<double> AsNumber(const VARIANT& value) noexcept {
    ql::Variant number;
    if (FAILED(number.CopyFrom(value)) || FAILED(number.ChangeType(VT_R8))) return std::nullopt;
    return V_R8(number.Get());
}

}  // namespace

HRESULT CQ1_AIFBFlow::ShowValueById(ULONG id, VARIANT value) noexcept {
    UpdatingScope updating(m_updating);
    const HWND dialog = DialogWindow();
    if (ShowBlockHead(dialog, kHeadItems, id, value)) return S_OK;
    switch (id) {
        case kOutUnitTextId:
            ShowOctetText(dialog, IDC_AF_OUT_UNIT_TEXT, value);
            return S_OK;
        case aiflow::kPvScale:
        case aiflow::kOutScale:
        case aiflow::kSimulation:
            ShowRecord(id, value);
            return S_OK;
        default:
            break;
    }
    const HRESULT result = ShowInRows(id, value);
    // The base display clears the flag when it is done; what follows is the page's own writing again.
    UpdatingScope ownWrites(m_updating);
    switch (id) {
        case kStaticRevisionId:
            CopyItemText(dialog, IDC_AF_STATIC_REVISION_VALUE, {IDC_AF_STATIC_REVISION}, kLabelLimit);
            break;
        case aiflow::kOutUnit:
            CopyItemText(dialog, IDC_AF_OUT_UNIT,
                         {6471, 6474, 6476, 6480, 6483, 6490, 6492, 6494, 6496, 6501}, kLabelLimit);
            break;
        case aiflow::kDecimalPoint:
            ShowWithDecimalPoint();
            break;
        default:
            break;
    }
    return result;
}

HRESULT CQ1_AIFBFlow::ShowInRows(ULONG id, const VARIANT& value) noexcept {
    HRESULT result = S_OK;
    for (UINT row = 0; row < RowCount() && SUCCEEDED(result); ++row) {
        if (Row(row).id != id) continue;
        formatted_.erase(Row(row).controlId);  // the row's own format replaces the rounded text
        result = ShowValue(row, value);
    }
    return result;
}

void CQ1_AIFBFlow::ShowRecord(ULONG id, const VARIANT& value) noexcept {
    if (id == aiflow::kPvScale) {
        const PvScaleFields pv = SplitPvScale(value);
        StoreMember(aiflow::kPvAt0, *FloatValue(pv.valueAt0));
        StoreMember(aiflow::kPvAt100, *FloatValue(pv.valueAt100));
    } else if (id == aiflow::kOutScale) {
        const OutScaleFields out = SplitOutScale(value);
        StoreMember(aiflow::kOutAt0, *FloatValue(out.valueAt0));
        StoreMember(aiflow::kOutAt100, *FloatValue(out.valueAt100));
        StoreMember(aiflow::kOutUnit, *UnitValue(out.unitCode));
        StoreMember(aiflow::kDecimalPoint, *ByteValue(out.decimalPoint));
    } else if (id == aiflow::kSimulation) {
        const SimulationFields simulation = SplitSimulation(value);
        StoreMember(aiflow::kSimValue, *FloatValue(simulation.value));
        StoreMember(aiflow::kSimStatus, *ByteValue(simulation.status));
        StoreMember(aiflow::kSimEnable, *ByteValue(simulation.enable));
    }
}

// The member variables hold the fields of the record as the page last showed it, online (the device's
// record) as offline: the members' rows load from them and the decimal point formats them. The store
// carries the page's own store mark, so no online page takes it for a change of the dataset, and the
// member's rows show the field at once.
void CQ1_AIFBFlow::StoreMember(ULONG member, const VARIANT& value) noexcept {
    if (!Variables()) return;
    ULONG word = 0;
    const bool markable = AccessWordMark::ReadWord(Variables(), member, word);
    word &= ~kAccessOnlineTransferMark;
    {
        AccessWordMark mark(markable ? Variables() : nullptr, member, word | kAccessOfflineStoreMark,
                            word & ~kAccessOfflineStoreMark);
        ql::Variant item;
        item.SetUI4(member);
        // The member only mirrors the record's field as the page shows it; one that cannot be stored is shown
        // all the same, and the record itself is what is committed.
        (void)Variables()->SetValue(*item, value);
    }
    // A value that cannot be shown leaves the field as it is.
    (void)ShowValueById(member, value);
}

void CQ1_AIFBFlow::ShowWithDecimalPoint() noexcept {
    if (!DialogWindow()) return;
    const long decimals = LenientInteger(TextOf(IDC_AF_DECIMAL_POINT, kNumberTextLimit));
    const auto stored = [&](ULONG id) -> std::optional<double> {
        ql::Variant value;
        if (FAILED(GetParameterValue(id, value.Put()))) return std::nullopt;
        return AsNumber(*value);
    };
    if (const auto at100 = stored(aiflow::kOutAt100)) ShowFormatted(IDC_AF_OUT_AT_100, *at100, decimals);
    if (const auto at0 = stored(aiflow::kOutAt0)) ShowFormatted(IDC_AF_OUT_AT_0, *at0, decimals);
    // The OUT value belongs to no row: only its text is rounded.
    try {
        ::SetDlgItemTextA(
            DialogWindow(), IDC_AF_OUT_VALUE,
            FormatWithDecimals(LenientNumber(TextOf(IDC_AF_OUT_VALUE, kNumberTextLimit)), decimals).c_str());
    } catch (...) {
    }
    for (const LimitField& limit : kAlarmLimits) {
        if (const auto number = stored(limit.id)) ShowFormatted(limit.item, *number, decimals);
    }
}

void CQ1_AIFBFlow::ShowFormatted(UINT item, double number, long decimals) noexcept {
    try {
        std::string text = FormatWithDecimals(number, decimals);
        ::SetDlgItemTextA(DialogWindow(), static_cast<int>(item), text.c_str());
        formatted_[item] = {std::move(text), number};
    } catch (...) {
        formatted_.erase(item);  // out of memory: the field counts as typed
    }
}

std::optional<double> CQ1_AIFBFlow::ExactNumber(UINT item) noexcept {
    const auto found = formatted_.find(item);
    if (found == formatted_.end() || TextOf(item, kNumberTextLimit) != found->second.first)
        return std::nullopt;
    return found->second.second;
}

std::string CQ1_AIFBFlow::NumberText(UINT item) noexcept {
    const std::optional<double> exact = ExactNumber(item);
    if (!exact) return TextOf(item, kNumberTextLimit);
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", *exact);  // nine digits give every float back exactly
    return text;
}

// --- read-back ---

HRESULT CQ1_AIFBFlow::ReadParameterDisplayByID(ULONG id, VARIANT* value) noexcept {
    QL_RETURN_IF_NULL_OUT(value);
    QL_RETURN_HR_IF(E_INVALIDARG, id == kEndRowId || RowCount() == 0);
    try {
        if (id == kTagId) return TextToOctetString(TextOf(IDC_AF_TAG, kTagLength), kTagLength, value);
        if (id == kOutUnitTextId) {
            return TextToOctetString(TextOf(IDC_AF_OUT_UNIT_TEXT, kUnitTextLength), kUnitTextLength, value);
        }
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    if (id == kTargetModeId || id == kLinearizationId || id == kFailSafeTypeId) {
        return ReadNarrowed(id, VT_UI1, value);
    }
    if (!aiflow::MembersOf(id).count) {
        const int row = FindParamRow(id);
        QL_RETURN_HR_IF(E_INVALIDARG, row < 0);
        if (const std::optional<double> exact = ExactNumber(Row(static_cast<UINT>(row)).controlId)) {
            ql::Variant number = FloatValue(static_cast<float>(*exact));
            ql::Variant previous;
            previous.Attach(*value);
            return number.Detach(value);
        }
        return ReadParameterDisplay(static_cast<UINT>(row), value);
    }
    return ReadRecord(id, value);
}

// A record is built from its members' fields only when every one of them holds a value: a member whose row
// is marked invalid, or whose text is no number of its type, refuses the whole record (nothing is written
// in its place). `value` is replaced only by a record that was built.
HRESULT CQ1_AIFBFlow::ReadRecord(ULONG id, VARIANT* value) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, AnyMemberInvalid(id));
    ql::Variant record;
    if (id == aiflow::kOutScale) QL_RETURN_IF_FAILED(ReadOutScale(record.Get()));
    if (id == aiflow::kPvScale) QL_RETURN_IF_FAILED(ReadPvScale(record.Get()));
    if (id == aiflow::kSimulation) QL_RETURN_IF_FAILED(ReadSimulation(record.Get()));
    ql::Variant previous;
    previous.Attach(*value);
    return record.Detach(value);
}

HRESULT CQ1_AIFBFlow::ReadOutScale(VARIANT* value) noexcept {
    ql::Variant unit;
    QL_RETURN_IF_FAILED(ReadNarrowed(aiflow::kOutUnit, VT_UI2, unit.Get()));
    QL_RETURN_HR_IF(E_INVALIDARG, unit.Type() != VT_UI2);
    QL_RETURN_IF_FAILED(JoinOutScale(NumberText(IDC_AF_OUT_AT_100), NumberText(IDC_AF_OUT_AT_0),
                                     V_UI2(unit.Get()), TextOf(IDC_AF_DECIMAL_POINT, kNumberTextLimit),
                                     value));
    // The unit and the decimal point also go into the dataset's members.
    (void)StoreControlValue(aiflow::kOutUnit);
    (void)StoreControlValue(aiflow::kDecimalPoint);
    return S_OK;
}

HRESULT CQ1_AIFBFlow::ReadPvScale(VARIANT* value) noexcept {
    return JoinPvScale(TextOf(IDC_AF_PV_AT_100, kNumberTextLimit), TextOf(IDC_AF_PV_AT_0, kNumberTextLimit),
                       value);
}

HRESULT CQ1_AIFBFlow::ReadSimulation(VARIANT* value) noexcept {
    ql::Variant status, enable;
    QL_RETURN_IF_FAILED(ReadNarrowed(aiflow::kSimStatus, VT_UI1, status.Get()));
    QL_RETURN_IF_FAILED(ReadNarrowed(aiflow::kSimEnable, VT_UI1, enable.Get()));
    QL_RETURN_HR_IF(E_INVALIDARG, status.Type() != VT_UI1 || enable.Type() != VT_UI1);
    QL_RETURN_IF_FAILED(JoinSimulation(V_UI1(status.Get()), TextOf(IDC_AF_SIM_VALUE, kNumberTextLimit),
                                       V_UI1(enable.Get()), value));
    for (ULONG member : {aiflow::kSimValue, aiflow::kSimStatus, aiflow::kSimEnable}) {
        // The members mirror the record, whose own value is what the caller commits.
        (void)StoreControlValue(member);
    }
    return S_OK;
}

bool CQ1_AIFBFlow::AnyMemberInvalid(ULONG record) noexcept {
    const aiflow::MemberList members = aiflow::MembersOf(record);
    for (size_t i = 0; i < members.count; ++i) {
        const int row = FindParamRow(members.ids[i]);
        if (row < 0 || (Row(static_cast<UINT>(row)).state & kRowInvalid)) return true;
    }
    return false;
}

std::string CQ1_AIFBFlow::TextOf(UINT item, int limit) noexcept {
    try {
        return ItemText(DialogWindow(), item, limit);
    } catch (...) {
        return {};
    }
}
