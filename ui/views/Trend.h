#pragma once
// CTrend: the trend view, the DTM's function 8. It plots three live values on the trend-chart control that
// its dialog hosts (item 6510, configured from the dialog's initialisation data): pen 1 the mass flow (46),
// pen 2 the flow block's output (69), pen 3 the totalizer (93). Every value that reaches an active pen goes
// to the chart together with the pen's running minimum and maximum, which the first value after the link
// starts and later values only widen. A check box per pen shows or hides it; a pen shown again continues
// its minimum and maximum.
//
// The values come as the DTM's notifications of the one-second device reads (CCyclicView) and of changes
// of the dataset. Without a chart the values are decoded and dropped.
//
// Ownership: one reference on the chart's ITrendChart from the link until the view goes; its other
// interfaces are asked for at each use. Threading: the frame's user-interface thread.
#include <windows.h>

#include "UiComponentInterfaces.h"
#include "VarnokP3.h"
#include "classlib/ComPtr.h"
#include "ui/views/CyclicView.h"
#include "ui/views/ViewResources.h"

class CTrend final : public ql::ComObjectBase<CTrend>, public CCyclicView {
    QL_INTERFACE_TABLE(CTrend, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CCyclicView))

    QL_BEGIN_MSG_MAP(CTrend)
    QL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
    QL_COMMAND_HANDLER(IDOK, BN_CLICKED, OnCommitAndClose)
    QL_COMMAND_HANDLER(IDCANCEL, BN_CLICKED, OnClose)
    QL_COMMAND_HANDLER(IDC_TREND_PEN1, BN_CLICKED, OnPenCheck)
    QL_COMMAND_HANDLER(IDC_TREND_PEN2, BN_CLICKED, OnPenCheck)
    QL_COMMAND_HANDLER(IDC_TREND_PEN3, BN_CLICKED, OnPenCheck)
    QL_MESSAGE_HANDLER(WM_SIZE, OnSize)
    QL_MESSAGE_HANDLER(WM_CTLCOLORDLG, OnDialogBackground)
    QL_CHAIN_MSG_MAP(CCyclicView)
    QL_END_MSG_MAP()

public:
    static constexpr int kPenCount = 3;

    CTrend() noexcept;
    HRESULT FinalConstruct() noexcept;

    // --- IQuelkControl: the link, then the chart set up (interval, pens, a fresh start) and the reading
    // started; always S_OK, `ok` telling whether the DTM link worked ---
    HRESULT STDMETHODCALLTYPE Init(IUnknown* dtm, VARIANT_BOOL* ok) noexcept override;
    using CQuelkCompositeControl::Init;

    // --- the base's slots ---
    // 46, 69 and 93 go to their pens (a value that is no byte array of at least four bytes, or no finite
    // number, is not plotted); other ids the default way.
    HRESULT ShowValueById(ULONG id, VARIANT value) noexcept override;
    LRESULT OnShowWindow(UINT message, WPARAM show, LPARAM lParam, BOOL& handled) noexcept override;

private:
    struct Pen {
        bool active = false;
        bool firstValue = false;  // the next value starts the minimum and maximum
        float minimum = 0.0f;
        float maximum = 0.0f;
    };

    void LinkChart() noexcept;
    void Plot(int pen, float value) noexcept;
    void UpdateChart() noexcept;

    LRESULT OnPenCheck(WORD, WORD, HWND, BOOL&) noexcept;
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&) noexcept;
    // The dialog keeps the system's background around the chart.
    LRESULT OnDialogBackground(UINT, WPARAM, LPARAM, BOOL&) noexcept { return 0; }

    ql::ComPtr<ITrendChart> chart_;
    Pen pens_[kPenCount];
    bool linked_ = false;
};
