#pragma once
// CDiagnosis: the diagnosis view, the DTM's function 4. It shows the physical block's diagnosis (29) and
// its extension (30) as 40 check boxes in five coloured groups, exactly as the parameterization window's
// diagnosis page does (DiagnosisBits.h), and reads both every second while it is open (CCyclicView). It
// never writes; its one button closes it.
//
// Threading: the frame's user-interface thread.
#include <windows.h>

#include "VarnokP3.h"
#include "ui/views/CyclicView.h"

class CDiagnosis final : public ql::ComObjectBase<CDiagnosis>, public CCyclicView {
    QL_INTERFACE_TABLE(CDiagnosis, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CCyclicView))

    QL_BEGIN_MSG_MAP(CDiagnosis)
    QL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
    QL_COMMAND_HANDLER(IDOK, BN_CLICKED, OnCommitAndClose)
    QL_MESSAGE_HANDLER(WM_CTLCOLORDLG, OnDialogColor)
    QL_CHAIN_MSG_MAP(CCyclicView)
    QL_END_MSG_MAP()

public:
    CDiagnosis() noexcept;
    HRESULT FinalConstruct() noexcept;

    // --- the base's slots ---
    HRESULT ShowValueById(ULONG id, VARIANT value) noexcept override;
    LRESULT OnShowWindow(UINT message, WPARAM show, LPARAM lParam, BOOL& handled) noexcept override;
    LRESULT OnCtlColorStatic(UINT message, WPARAM hdc, LPARAM control, BOOL& handled) noexcept override;
};
