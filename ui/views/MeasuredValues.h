#pragma once
// CMeasuredValues: the measured-values view, the DTM's function 5. It shows three live process values with
// the texts of their PROFIBUS PA status: the transducer block's mass flow (46), the flow block's output (69)
// and the totalizer (93), each beside the text of its unit parameter (47, 109, 94). The unit texts come from
// hidden combo boxes that the framework fills with the units' entries. A new output scale (71) carries the
// flow block's unit code, which the view writes into the unit parameter 109 so the flow group's unit
// follows it.
//
// While it is open the view reads 46, 69 and 93 every second (CCyclicView). It scrolls when the host gives
// it less room than its dialog needs.
//
// Threading: the frame's user-interface thread.
#include <windows.h>

#include "VarnokP3.h"
#include "ui/views/CyclicView.h"
#include "ui/views/ViewScroller.h"

class CMeasuredValues final : public ql::ComObjectBase<CMeasuredValues>, public CCyclicView {
    QL_INTERFACE_TABLE(CMeasuredValues, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CCyclicView))

    QL_BEGIN_MSG_MAP(CMeasuredValues)
    QL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
    QL_COMMAND_HANDLER(IDOK, BN_CLICKED, OnCommitAndClose)
    QL_COMMAND_HANDLER(IDCANCEL, BN_CLICKED, OnClose)
    QL_MESSAGE_HANDLER(WM_CTLCOLORDLG, OnDialogColor)
    QL_MESSAGE_HANDLER(WM_VSCROLL, OnScroll)
    QL_MESSAGE_HANDLER(WM_HSCROLL, OnScroll)
    QL_MESSAGE_HANDLER(WM_SIZE, OnSize)
    QL_CHAIN_MSG_MAP(CCyclicView)
    QL_END_MSG_MAP()

public:
    CMeasuredValues() noexcept;
    HRESULT FinalConstruct() noexcept;

    // --- IOleObject: the natural extent, which is also the content the view scrolls ---
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) noexcept override;
    using ql::DialogControl::GetExtent;

    // --- the base's slots ---
    HRESULT ShowValueById(ULONG id, VARIANT value) noexcept override;
    LRESULT OnShowWindow(UINT message, WPARAM show, LPARAM lParam, BOOL& handled) noexcept override;
    LRESULT OnCtlColorStatic(UINT message, WPARAM hdc, LPARAM control, BOOL& handled) noexcept override;

private:
    // A value with status shown in its group's four fields.
    void ShowValueWithStatus(ULONG id, const VARIANT& value) noexcept;
    // The output scale's unit code written into the flow block's unit parameter.
    void TakeScaleUnit(const VARIANT& scale) noexcept;
    // The unit combo's text of `id`'s group copied into the group's unit static.
    void CopyUnitText(ULONG id) noexcept;

    LRESULT OnScroll(UINT message, WPARAM wParam, LPARAM, BOOL&) noexcept;
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&) noexcept;

    CViewScroller scroller_;
};
