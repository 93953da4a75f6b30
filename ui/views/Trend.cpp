#include "ui/views/Trend.h"

#include <cmath>

#include "classlib/AxHostWindow.h"
#include "dtm/documents/PaRecordBytes.h"
#include "values/Bytes.h"

namespace {

constexpr ULONG kMassFlowId = 46;
constexpr ULONG kFlowOutId = 69;
constexpr ULONG kTotalizerId = 93;
constexpr LONG kChartInterval = 1000;  // ms between two values of a pen: the reading period
constexpr int kMargin = 5;
constexpr int kChartTop = 40;

// The pens in their fixed order: the parameter each plots and the check box that shows or hides it.
struct PenBinding {
    ULONG parameter;
    UINT checkBox;
};
constexpr PenBinding kPens[CTrend::kPenCount] = {
    {kMassFlowId, IDC_TREND_PEN1},
    {kFlowOutId, IDC_TREND_PEN2},
    {kTotalizerId, IDC_TREND_PEN3},
};

// Index of the pen of `id`, -1 for a parameter no pen plots.
int PenOf(ULONG id) noexcept {
    for (int pen = 0; pen < CTrend::kPenCount; ++pen) {
        if (kPens[pen].parameter == id) return pen;
    }
    return -1;
}

// The rows only let the initial load and the DTM's notifications reach the view; no control shows them.
const ParameterMap& TrendMap() {
    static const ParameterMap map{
        {kMassFlowId, "", 0, 0, "", kAccessDeviceReadWrite, kControlDefaultColors},
        {kFlowOutId, "", 0, 0, "", kAccessDeviceReadWrite, kControlDefaultColors},
        {kTotalizerId, "", 0, 0, "", kAccessDeviceReadWrite, kControlDefaultColors},
    };
    return map;
}

// The number of a value record: the big-endian single of bytes 0 to 3 (a status byte may follow).
HRESULT DecodeTrendValue(const VARIANT& value, float& number) noexcept {
    QL_RETURN_HR_IF(E_UNEXPECTED, V_VT(&value) == (VT_ARRAY | VT_UI1) && !V_ARRAY(&value));
    BYTE bytes[4] = {};
    // Anything else than a one-dimensional byte array of four bytes or more holds no number.
    QL_RETURN_HR_IF(E_INVALIDARG, ReadPaRecord(value, sizeof(bytes), bytes) != PaRecordRead::Bytes);
    number = FloatFromBits(ReadBigEndian32(bytes));
    return S_OK;
}

template <class Interface>
ql::ComPtr<Interface> ChartPart(ITrendChart* chart) noexcept {
    ql::ComPtr<Interface> part;
    // A chart without the part answers null, which every caller checks.
    if (chart) (void)ql::QueryInterfaceTo(chart, part);
    return part;
}

}  // namespace

CTrend::CTrend() noexcept : CCyclicView(IDD_TREND, CLSID_Trend, TrendMap(), kFunctionTrend, L"Trend Class") {}

HRESULT CTrend::FinalConstruct() noexcept {
    return AttachView(GetControllingUnknown(), {kMassFlowId, kFlowOutId, kTotalizerId});
}

HRESULT CTrend::Init(IUnknown* dtm, VARIANT_BOOL* ok) noexcept {
    // A failed link leaves `ok` false; the chart and the reading are set up all the same.
    if (ok) (void)CQuelkCompositeControl::Init(dtm, ok);
    (void)EnableDtmFunction(FunctionId(), FALSE);
    LinkChart();
    for (UINT box : {IDC_TREND_PEN1, IDC_TREND_PEN2, IDC_TREND_PEN3}) {
        if (DialogWindow()) ::CheckDlgButton(DialogWindow(), static_cast<int>(box), BST_CHECKED);
    }
    if (const auto view = ChartPart<ITrendChartView>(chart_.Get())) {
        // The chart is an outside component: its answers do not change the view, which plots what it can.
        (void)view->Prepare();
        (void)view->Update();
    }
    RestartTimer();
    linked_ = true;
    return S_OK;
}

void CTrend::LinkChart() noexcept {
    chart_.Reset();
    const HWND item = DialogWindow() ? ::GetDlgItem(DialogWindow(), IDC_TREND_CHART) : nullptr;
    const ql::ComPtr<IUnknown> hosted = ql::HostedControl(item);
    if (!hosted || FAILED(ql::QueryInterfaceTo(hosted.Get(), chart_))) {
        chart_.Reset();
        return;
    }
    if (const auto timing = ChartPart<ITrendChartTiming>(chart_.Get()))
        // As above: the chart's answers do not change the view.
        (void)timing->SetInterval(kChartInterval);
    if (const auto pens = ChartPart<ITrendChartPens>(chart_.Get())) {
        for (int pen = 0; pen < kPenCount; ++pen) {
            (void)pens->SetPenActive(pen + 1, 1);  // as above
            pens_[pen].active = true;
            pens_[pen].firstValue = true;
        }
    }
}

HRESULT CTrend::ShowValueById(ULONG id, VARIANT value) noexcept {
    const int pen = PenOf(id);
    if (pen < 0) return CQuelkControlBase::ShowValueById(id, value);
    float number = 0.0f;
    QL_RETURN_IF_FAILED(DecodeTrendValue(value, number));
    // A number that is none (a device's NaN) or endless has no place on the value axis: it is not
    // plotted and leaves the pen's minimum and maximum as they are.
    if (!std::isfinite(number)) return S_OK;
    Plot(pen, number);
    return S_OK;
}

void CTrend::Plot(int pen, float value) noexcept {
    Pen& state = pens_[pen];
    if (!state.active || !chart_) return;
    const LONG number = pen + 1;
    // As above: the chart's answers to the value and to the bounds below do not change the view.
    (void)chart_->AddValue(number, value);
    // The first value after the link starts the pen's bounds; later ones only widen them.
    if (state.firstValue && linked_) {
        state.firstValue = false;
        state.minimum = value;
        state.maximum = value;
        // As above: the chart's answers do not change the view.
        (void)chart_->SetMinimum(number, state.minimum);
        (void)chart_->SetMaximum(number, state.maximum);
    }
    if (value < state.minimum) {
        state.minimum = value;
        (void)chart_->SetMinimum(number, value);
    }
    if (value > state.maximum) {
        state.maximum = value;
        (void)chart_->SetMaximum(number, value);
    }
    UpdateChart();
}

void CTrend::UpdateChart() noexcept {
    if (const auto view = ChartPart<ITrendChartView>(chart_.Get())) (void)view->Update();  // as above
}

LRESULT CTrend::OnPenCheck(WORD, WORD, HWND, BOOL&) noexcept {
    const auto pens = ChartPart<ITrendChartPens>(chart_.Get());
    const HWND dialog = DialogWindow();
    if (!pens || !dialog) return 0;
    // Every box is read again: a click on one may come with another changed by the keyboard.
    for (int pen = 0; pen < kPenCount; ++pen) {
        const bool checked =
            ::IsDlgButtonChecked(dialog, static_cast<int>(kPens[pen].checkBox)) == BST_CHECKED;
        // As above: the chart's answer does not change the view.
        (void)pens->SetPenActive(pen + 1, checked ? 1 : 0);
        pens_[pen].active = checked;
    }
    return 0;
}

LRESULT CTrend::OnShowWindow(UINT message, WPARAM show, LPARAM lParam, BOOL& handled) noexcept {
    const LRESULT result = CQuelkControlBase::OnShowWindow(message, show, lParam, handled);
    if (show) RestartTimer();
    return result;
}

LRESULT CTrend::OnSize(UINT, WPARAM, LPARAM, BOOL&) noexcept {
    const HWND window = WindowHandle();
    if (!window) return 0;
    RECT bounds{}, button{};
    ::GetWindowRect(window, &bounds);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    if (const HWND ok = ::GetDlgItem(window, IDOK); ok && ::GetWindowRect(ok, &button)) {
        const int buttonWidth = button.right - button.left;
        ::MoveWindow(ok, width - buttonWidth - kMargin, kMargin, buttonWidth, button.bottom - button.top,
                     FALSE);
        ::InvalidateRect(ok, nullptr, TRUE);
    }
    if (const HWND chart = ::GetDlgItem(window, IDC_TREND_CHART)) {
        ::MoveWindow(chart, kMargin, kChartTop, width - 2 * kMargin, height - kChartTop - kMargin, TRUE);
    }
    return 0;
}
