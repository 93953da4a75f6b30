#pragma once
// CTrendChart: the trend-chart ActiveX control. Its pens receive values (ITrendChart) and are shown or
// hidden (ITrendChartPens); the time axis advances by the interval (ITrendChartTiming) and the picture is
// started afresh and redrawn on request (ITrendChartView). Its configuration (pens' names, colours, the
// span of the time axis, colours and font) comes from its persisted state, which a dialog's initialisation
// data hands to IPersistStreamInit::Load; Save writes back what was loaded (the settings text as it came,
// nothing before InitNew or Load) with the current extent, so a container that saves a form holding the
// chart can load it into another.
//
// The control's window is an empty dialog of this module that the chart paints; IViewObject::Draw paints
// the same picture into any device context, with or without the window. The module's own type library
// describes the class and its four interfaces: IProvideClassInfo answers the class, and each interface's
// IDispatch describes that interface (ITrendChart, the class's default, is the one IDispatch answers).
// Threading: apartment-threaded, on the container's window thread.
#include <windows.h>

#include <string>

#include "TrendChartData.h"
#include "TrendChartSettings.h"
#include "TrendChartLibrary.h"
#include "classlib/DialogControl.h"
#include "classlib/DispatchImpl.h"
#include "classlib/MessageMap.h"

namespace standins {

class CTrendChart final : public ql::ComObjectBase<CTrendChart>,
                          public ql::DispatchImpl<ITrendChart>,
                          public ql::DispatchImpl<ITrendChartPens>,
                          public ql::DispatchImpl<ITrendChartTiming>,
                          public ql::DispatchImpl<ITrendChartView>,
                          public ql::DialogControl {
    QL_INTERFACE_TABLE(CTrendChart, QL_ENTRY(ITrendChart), QL_ENTRY_IID(IID_IDispatch, ITrendChart),
                       QL_ENTRY(ITrendChartPens), QL_ENTRY(ITrendChartTiming), QL_ENTRY(ITrendChartView),
                       QL_ENTRY_CHAIN(ql::DialogControl))

    QL_BEGIN_MSG_MAP(CTrendChart)
    QL_MESSAGE_HANDLER(WM_PAINT, OnPaint)
    QL_MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
    QL_MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    QL_MESSAGE_HANDLER(WM_SIZE, OnSize)
    QL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
    QL_CHAIN_MSG_MAP(ql::DialogControl)
    QL_END_MSG_MAP()

public:
    CTrendChart();

    // ---- ITrendChart: pens 1 to 32, else E_INVALIDARG ----
    HRESULT STDMETHODCALLTYPE GetValueCount(LONG pen, LONG* count) noexcept override;
    // S_FALSE when the settings fix the bound: it stays as configured.
    HRESULT STDMETHODCALLTYPE SetMaximum(LONG pen, DOUBLE maximum) noexcept override;
    HRESULT STDMETHODCALLTYPE GetMaximum(LONG pen, DOUBLE* maximum) noexcept override;
    HRESULT STDMETHODCALLTYPE SetMinimum(LONG pen, DOUBLE minimum) noexcept override;
    HRESULT STDMETHODCALLTYPE GetMinimum(LONG pen, DOUBLE* minimum) noexcept override;
    HRESULT STDMETHODCALLTYPE AddValue(LONG pen, DOUBLE value) noexcept override;

    // ---- ITrendChartPens ----
    HRESULT STDMETHODCALLTYPE SetPenActive(LONG pen, LONG active) noexcept override;
    HRESULT STDMETHODCALLTYPE GetPen(LONG pen, BSTR* name, OLE_COLOR* color, LONG* active) noexcept override;

    // ---- ITrendChartTiming: a positive interval ----
    HRESULT STDMETHODCALLTYPE SetInterval(LONG milliseconds) noexcept override;

    // ---- ITrendChartView ----
    // Also answers IOleObject::Update, whose work (bring the picture up to date) it is as well.
    HRESULT STDMETHODCALLTYPE Update() noexcept override;
    HRESULT STDMETHODCALLTYPE Prepare() noexcept override;

    // ---- IViewObject: the chart itself, whether the window exists or not ----
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                                   HDC targetInfo, HDC drawDc, LPCRECTL bounds, LPCRECTL windowBounds,
                                   BOOL(STDMETHODCALLTYPE* cancel)(ULONG_PTR),
                                   ULONG_PTR cancelArgument) noexcept override;

protected:
    HRESULT LoadState(IStream* stream) noexcept override;
    HRESULT SaveState(IStream* stream, bool clearDirty) noexcept override;
    HRESULT InitState() noexcept override;
    void OnWindowCreated() noexcept override;

private:
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }  // the picture covers everything
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);

    using BoundSetter = bool (CTrendChartData::*)(long, double, const TrendChartSettings&) noexcept;
    using BoundGetter = double (CTrendChartData::*)(long) const noexcept;
    HRESULT SetBound(LONG pen, BoundSetter set, DOUBLE value) noexcept;
    HRESULT GetBound(LONG pen, BoundGetter get, DOUBLE* out) noexcept;

    void ApplySettings(TrendChartSettings settings) noexcept;
    void Paint(HDC dc, const RECT& bounds) noexcept;
    // Paints through a bitmap, so a redraw does not flicker.
    void PaintBuffered(HDC dc, const RECT& bounds) noexcept;
    void Redraw() noexcept;
    ULONGLONG Clock() const noexcept;
    // The clock-driven time axis scrolls by itself; with fixed intervals only values move it.
    void UpdateScrollTimer() noexcept;

    TrendChartSettings settings_;
    std::wstring settingsText_;  // as loaded, for Save
    CTrendChartData data_;
    ULONGLONG preparedTick_ = 0;
    FILETIME preparedAt_{};
};

}  // namespace standins
