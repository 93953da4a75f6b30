#pragma once
// CQ1_AIFBFlow: the page of the analog-input function block that carries the flow: mode, block object, tag,
// the OUT value with its status, the PV and OUT scales, output unit text, channel, filter time,
// linearization, fail-safe handling, alarm limits and the simulation. Three device records are edited field
// by field: the PV scale (70), the OUT scale (71) and the simulation (82). Showing a record splits it into
// the dataset's member variables (105 to 113), whose rows then show the fields; writing a record joins the
// members' fields back into it. A record and its members share their row state, so editing a member marks
// the record for writing and a read-only record makes its members read-only. While the page is shown
// online it reads the OUT value, static revision, block object and alarm summary every two seconds.
//
// Threading: the frame's user-interface thread (device transfers pump messages, so display and commit run
// re-entrantly inside them).
#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "VarnokP3.h"
#include "ui/pages/EditableBlockPage.h"

class CQ1_AIFBFlow final : public ql::ComObjectBase<CQ1_AIFBFlow>, public CEditableBlockPage {
    QL_INTERFACE_TABLE(CQ1_AIFBFlow, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CEditableBlockPage))

public:
    QL_BEGIN_MSG_MAP(CQ1_AIFBFlow)
    QL_CHAIN_MSG_MAP(CEditableBlockPage)
    QL_END_MSG_MAP()

    CQ1_AIFBFlow() noexcept;
    HRESULT FinalConstruct() noexcept;

    HRESULT ShowValueById(ULONG id, VARIANT value) noexcept override;
    HRESULT ReadParameterDisplayByID(ULONG id, VARIANT* value) noexcept override;
    // A record's state reaches its members' rows and access words; a member's state reaches its record's row.
    HRESULT SetStateById(ULONG id, ULONG flags) noexcept override;
    // Inside an Enter commit a member commits its record.
    HRESULT CommitParameter(ULONG id) noexcept override;

protected:
    // The field's commit, a member's written as its record.
    void CommitControl(HWND control) noexcept override;

private:
    // --- display and read-back (Q1_AIFBFlowValues.cpp) ---
    HRESULT ShowInRows(ULONG id, const VARIANT& value) noexcept;
    // Stores one field of a shown record as its member's dataset value and shows it in the member's rows.
    void StoreMember(ULONG member, const VARIANT& value) noexcept;
    void ShowRecord(ULONG id, const VARIANT& value) noexcept;
    // The OUT scale's limits, the OUT value and the alarm limits with the decimal point of field 6324.
    void ShowWithDecimalPoint() noexcept;
    HRESULT ReadRecord(ULONG id, VARIANT* value) noexcept;
    HRESULT ReadOutScale(VARIANT* value) noexcept;
    HRESULT ReadPvScale(VARIANT* value) noexcept;
    HRESULT ReadSimulation(VARIANT* value) noexcept;
    bool AnyMemberInvalid(ULONG record) noexcept;
    // The item's text, "" when memory runs out.
    std::string TextOf(UINT item, int limit) noexcept;
    // Writes `number` into the item with the decimal point's places and remembers the exact number behind
    // the rounded text.
    void ShowFormatted(UINT item, double number, long decimals) noexcept;
    // The number the item stands for while it still shows the page's own rounded text.
    std::optional<double> ExactNumber(UINT item) noexcept;
    // The item's text, or the exact number behind the page's own rounded text in full precision.
    std::string NumberText(UINT item) noexcept;

    // Set while an Enter commit runs: a member's commit then writes its record.
    bool enterCommit_ = false;
    // The texts the decimal-point formatting wrote, by dialog item, with the numbers they round: while a
    // field still shows one, it stands for the exact number, so nothing rounded is written back.
    std::map<UINT, std::pair<std::string, double>> formatted_;
};
