#pragma once
// CQ3_AIFBTotal: the page of the analog-input function block that carries the totalizer: mode, block
// object, tag, the totalizer value with its status, unit, channel, the totalizer's set, mode and fail-safe
// commands, preset and alarm limits. Every editable parameter has a row and a control of its own. While the
// page is shown online it reads the totalizer, the mode block and the static revision every two seconds.
//
// Threading: the frame's user-interface thread.
#include <windows.h>

#include "VarnokP3.h"
#include "ui/pages/EditableBlockPage.h"

class CQ3_AIFBTotal final : public ql::ComObjectBase<CQ3_AIFBTotal>, public CEditableBlockPage {
    QL_INTERFACE_TABLE(CQ3_AIFBTotal, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CEditableBlockPage))

public:
    QL_BEGIN_MSG_MAP(CQ3_AIFBTotal)
    QL_CHAIN_MSG_MAP(CEditableBlockPage)
    QL_END_MSG_MAP()

    CQ3_AIFBTotal() noexcept;
    HRESULT FinalConstruct() noexcept;

    HRESULT ShowValueById(ULONG id, VARIANT value) noexcept override;
    HRESULT ReadParameterDisplayByID(ULONG id, VARIANT* value) noexcept override;

protected:
    // The field's commit, then the unit labels.
    void CommitControl(HWND control) noexcept override;

private:
    void ShowUnitLabels() noexcept;
};
