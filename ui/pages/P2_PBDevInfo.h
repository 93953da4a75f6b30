#pragma once
// CP2_PBDevInfo: the device information page of the parameterization window. It shows the physical block
// of the device: target and actual mode, block object, static revision, tag, strategy, alert key, alarm
// summary and the device information (ids, revisions, the manufacturer's name). While it is shown and the
// DTM is online it reads the static revision, the mode and the alarm summary every two seconds. Enter in a
// field writes that field at once (CommitEditedControl).
//
// Threading: the frame's user-interface thread.
#include <windows.h>

#include <string>

#include "VarnokP3.h"
#include "ui/pages/EditableBlockPage.h"

class CP2_PBDevInfo final : public ql::ComObjectBase<CP2_PBDevInfo>, public CEditableBlockPage {
    QL_INTERFACE_TABLE(CP2_PBDevInfo, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CEditableBlockPage))

public:
    QL_BEGIN_MSG_MAP(CP2_PBDevInfo)
    QL_CHAIN_MSG_MAP(CEditableBlockPage)
    QL_END_MSG_MAP()

    CP2_PBDevInfo() noexcept;
    HRESULT FinalConstruct() noexcept;

    HRESULT ShowValueById(ULONG id, VARIANT value) noexcept override;
    HRESULT ReadParameterDisplayByID(ULONG id, VARIANT* value) noexcept override;

private:
    void ShowTag(const VARIANT& value) noexcept;
    void ShowAlarmSummary(const VARIANT& value) noexcept;
    HRESULT ShowManufacturer(const VARIANT& value) noexcept;
    HRESULT ShowInRows(ULONG id, const VARIANT& value) noexcept;
    // Stores `text` as the value of the DTM's text item `variableId` (the window header's texts).
    void StoreVariableText(ULONG variableId, const std::string& text) noexcept;
    void SetItemText(UINT controlId, const char* text) noexcept;
};
