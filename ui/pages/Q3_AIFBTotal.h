#pragma once
// CQ3_AIFBTotal: the page of the analog-input function block that carries the totalizer: mode, block
// object, tag, the totalizer value with its status, unit, channel, the totalizer's set, mode and fail-safe
// commands, preset and alarm limits. Every editable parameter has a row and a control of its own. While the
// page is shown online it reads the totalizer, the mode block and the static revision every two seconds.
//
// Threading: the frame's user-interface thread.
#include <windows.h>

#include "VarnokP3.h"
#include "controls/base/QuelkPageKeyboard.h"
#include "controls/sync/QuelkOnlinePage.h"
#include "ui/pages/BlockPage.h"

class CQ3_AIFBTotal final : public ql::ComObjectBase<CQ3_AIFBTotal>,
                            public CBlockPage<CQuelkOnlinePage>,
                            private CQuelkPageKeyboard::EnterHandler {
    QL_INTERFACE_TABLE(CQ3_AIFBTotal, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CBlockPage))

public:
    QL_BEGIN_MSG_MAP(CQ3_AIFBTotal)
    QL_CHAIN_MSG_MAP(CBlockPage)
    QL_END_MSG_MAP()

    CQ3_AIFBTotal() noexcept;
    HRESULT FinalConstruct() noexcept;

    HRESULT ShowValueById(ULONG id, VARIANT value) noexcept override;
    HRESULT ReadParameterDisplayByID(ULONG id, VARIANT* value) noexcept override;
    LRESULT OnControlCommit(UINT code, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept override;
    // The Enter-key commit of the page's child `control`, then the unit labels; always S_OK.
    HRESULT ApplyControl(HWND control) noexcept;

protected:
    CQuelkPageKeyboard::EnterHandler* EnterKeyHandler() noexcept override { return this; }

private:
    BOOL OnEnter(HWND page, HWND focusedChild, const MSG& message) noexcept override;
    void ShowUnitLabels() noexcept;
};
