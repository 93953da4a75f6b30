#include "TrendChart.h"

#include <algorithm>

#include "TrendChartResources.h"
#include "TrendChartStream.h"
#include "classlib/Bstr.h"
#include "classlib/DeviceContext.h"
#include "classlib/GdiObject.h"
#include "classlib/ObjectMap.h"
#include "TrendChartPainter.h"

namespace standins {

namespace {

ql::AutoObjectEntry g_entry(ql::MakeObjectEntry(CLSID_TrendChart,
                                                &ql::UpdateRegistryFromScript<IDR_TREND_CHART>,
                                                &ql::CreateInstance<CTrendChart>));

constexpr UINT_PTR kScrollTimer = 1;

FILETIME LocalTimeNow() noexcept {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    FILETIME time{};
    ::SystemTimeToFileTime(&now, &time);
    return time;
}

}  // namespace

CTrendChart::CTrendChart() : ql::DialogControl(IDD_TREND_CHART, CLSID_TrendChart) { (void)Prepare(); }

// ---- ITrendChart ----

HRESULT CTrendChart::GetValueCount(LONG pen, LONG* count) noexcept {
    QL_RETURN_IF_NULL_OUT(count);
    *count = 0;
    QL_RETURN_HR_IF(E_INVALIDARG, !settings_.Pen(pen));
    *count = static_cast<LONG>(data_.PenSamples(pen).size());
    return S_OK;
}

HRESULT CTrendChart::SetMaximum(LONG pen, DOUBLE maximum) noexcept {
    return SetBound(pen, &CTrendChartData::SetMaximum, maximum);
}

HRESULT CTrendChart::GetMaximum(LONG pen, DOUBLE* maximum) noexcept {
    return GetBound(pen, &CTrendChartData::Maximum, maximum);
}

HRESULT CTrendChart::SetMinimum(LONG pen, DOUBLE minimum) noexcept {
    return SetBound(pen, &CTrendChartData::SetMinimum, minimum);
}

HRESULT CTrendChart::GetMinimum(LONG pen, DOUBLE* minimum) noexcept {
    return GetBound(pen, &CTrendChartData::Minimum, minimum);
}

HRESULT CTrendChart::SetBound(LONG pen, BoundSetter set, DOUBLE value) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !settings_.Pen(pen));
    return (data_.*set)(pen, value, settings_) ? S_OK : S_FALSE;
}

HRESULT CTrendChart::GetBound(LONG pen, BoundGetter get, DOUBLE* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = 0.0;
    QL_RETURN_HR_IF(E_INVALIDARG, !settings_.Pen(pen));
    *out = (data_.*get)(pen);
    return S_OK;
}

HRESULT CTrendChart::AddValue(LONG pen, DOUBLE value) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !settings_.Pen(pen));
    return ql::GuardComCall([&]() -> HRESULT {
        data_.AddValue(pen, value, Clock(), settings_);
        return S_OK;
    });
}

// ---- ITrendChartPens ----

HRESULT CTrendChart::SetPenActive(LONG pen, LONG active) noexcept {
    TrendPenSettings* target = settings_.Pen(pen);
    QL_RETURN_HR_IF(E_INVALIDARG, !target);
    target->active = active != 0;
    Redraw();  // a pen shown or hidden by a check box changes the picture before any value comes
    return S_OK;
}

HRESULT CTrendChart::GetPen(LONG pen, BSTR* name, OLE_COLOR* color, LONG* active) noexcept {
    QL_RETURN_HR_IF(E_POINTER, !name || !color || !active);
    *name = nullptr;
    *color = 0;
    *active = 0;
    const TrendPenSettings* source = settings_.Pen(pen);
    QL_RETURN_HR_IF(E_INVALIDARG, !source);
    ql::Bstr text;
    QL_RETURN_IF_FAILED(text.Assign(source->name));
    *name = text.Detach();
    *color = source->color;
    *active = source->active ? 1 : 0;
    return S_OK;
}

// ---- ITrendChartTiming ----

HRESULT CTrendChart::SetInterval(LONG milliseconds) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, milliseconds <= 0);
    data_.SetInterval(static_cast<ULONG>(milliseconds));
    return S_OK;
}

// ---- ITrendChartView ----

HRESULT CTrendChart::Update() noexcept {
    Redraw();
    return S_OK;
}

HRESULT CTrendChart::Prepare() noexcept {
    data_.Prepare(settings_);
    preparedTick_ = ::GetTickCount64();
    preparedAt_ = LocalTimeNow();
    Redraw();
    return S_OK;
}

// ---- IViewObject ----

HRESULT CTrendChart::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDc, LPCRECTL bounds,
                          LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) noexcept {
    QL_RETURN_HR_IF(DV_E_DVASPECT, aspect != DVASPECT_CONTENT);
    QL_RETURN_HR_IF(E_INVALIDARG, !drawDc || !bounds);
    Paint(drawDc, RECT{bounds->left, bounds->top, bounds->right, bounds->bottom});
    return S_OK;
}

// ---- persistence ----

HRESULT CTrendChart::LoadState(IStream* stream) noexcept {
    TrendChartState state;
    QL_RETURN_IF_FAILED(ReadTrendChartState(stream, state));
    return ql::GuardComCall([&]() -> HRESULT {
        TrendChartSettings settings;
        ApplySettingsText(state.settingsText, settings);
        if (state.extent.cx > 0 && state.extent.cy > 0)
            QL_RETURN_IF_FAILED(SetExtent(DVASPECT_CONTENT, &state.extent));
        ApplySettings(std::move(settings));
        settingsText_ = std::move(state.settingsText);
        return S_OK;
    });
}

HRESULT CTrendChart::SaveState(IStream* stream, bool) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        TrendChartState state;
        state.settingsText = settingsText_;
        QL_RETURN_IF_FAILED(GetExtent(DVASPECT_CONTENT, &state.extent));
        return WriteTrendChartState(stream, state);
    });
}

HRESULT CTrendChart::InitState() noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        ApplySettings(TrendChartSettings());
        settingsText_.clear();
        return S_OK;
    });
}

void CTrendChart::ApplySettings(TrendChartSettings settings) noexcept {
    settings_ = std::move(settings);
    (void)Prepare();
    UpdateScrollTimer();
}

// ---- window ----

void CTrendChart::OnWindowCreated() noexcept { UpdateScrollTimer(); }

void CTrendChart::UpdateScrollTimer() noexcept {
    HWND window = WindowHandle();
    if (!window) return;
    if (settings_.useFixTimeIntervals)
        ::KillTimer(window, kScrollTimer);
    else
        ::SetTimer(window, kScrollTimer, static_cast<UINT>(std::max(settings_.redrawInterval, 50)), nullptr);
}

LRESULT CTrendChart::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
    ql::PaintDc paint(WindowHandle());
    RECT client{};
    ::GetClientRect(WindowHandle(), &client);
    PaintBuffered(paint.Get(), client);
    return 0;
}

LRESULT CTrendChart::OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&) {
    RECT client{};
    ::GetClientRect(WindowHandle(), &client);
    Paint(reinterpret_cast<HDC>(wParam), client);
    return 0;
}

LRESULT CTrendChart::OnSize(UINT, WPARAM, LPARAM, BOOL&) {
    Redraw();
    return 0;
}

LRESULT CTrendChart::OnTimer(UINT, WPARAM timer, LPARAM, BOOL& handled) {
    if (timer != kScrollTimer) {
        handled = FALSE;
        return 0;
    }
    Redraw();
    return 0;
}

void CTrendChart::Paint(HDC dc, const RECT& bounds) noexcept {
    PaintTrendChart(dc, bounds, TrendChartPicture{settings_, data_, Clock(), preparedAt_});
}

void CTrendChart::PaintBuffered(HDC dc, const RECT& bounds) noexcept {
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    ql::Bitmap buffer(::CreateCompatibleBitmap(dc, width, height));
    ql::MemoryDc memory(dc, buffer.Get());
    if (!buffer || !memory.Get()) return Paint(dc, bounds);
    Paint(memory.Get(), RECT{0, 0, width, height});
    ::BitBlt(dc, bounds.left, bounds.top, width, height, memory.Get(), 0, 0, SRCCOPY);
}

void CTrendChart::Redraw() noexcept {
    if (HWND window = WindowHandle()) ::InvalidateRect(window, nullptr, FALSE);
    SendViewChange();
}

ULONGLONG CTrendChart::Clock() const noexcept { return ::GetTickCount64() - preparedTick_; }

}  // namespace standins
