#include "TrendChartPainter.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <string>
#include <vector>

#include "classlib/DeviceContext.h"
#include "classlib/GdiObject.h"
#include "classlib/HResult.h"

namespace standins {

namespace {

constexpr int kMargin = 4;
constexpr int kSwatchWidth = 12;
constexpr ULONGLONG kMillisecondsPerSecond = 1000;
constexpr ULONGLONG kFileTimeUnitsPerMillisecond = 10000;

struct Scale {
    double minimum;
    double maximum;
};

// A pen whose bounds meet (the first value sets both) or cross is drawn around them, not flat on an edge.
Scale ScaleOf(const CTrendChartData& data, long pen) noexcept {
    Scale scale{data.Minimum(pen), data.Maximum(pen)};
    if (!std::isfinite(scale.minimum) || !std::isfinite(scale.maximum)) return Scale{0.0, 1.0};
    if (scale.maximum > scale.minimum) return scale;
    const double centre = scale.minimum;
    const double half = centre == 0.0 ? 1.0 : std::abs(centre) * 0.1;
    return Scale{centre - half, centre + half};
}

bool IsShown(const TrendChartSettings& settings, long pen) noexcept {
    return settings.showInactivePens || settings.Pen(pen)->active;
}

std::wstring FormatNumber(double value, int precision) {
    wchar_t text[64] = {};
    std::swprintf(text, 64, L"%.*f", std::clamp(precision, 0, 10), value);
    return text;
}

std::wstring FormatClock(const FILETIME& start, ULONGLONG milliseconds) {
    ULARGE_INTEGER time{};
    time.LowPart = start.dwLowDateTime;
    time.HighPart = start.dwHighDateTime;
    time.QuadPart += milliseconds * kFileTimeUnitsPerMillisecond;
    FILETIME at{time.LowPart, time.HighPart};
    SYSTEMTIME clock{};
    if (!::FileTimeToSystemTime(&at, &clock)) return std::wstring();
    wchar_t text[16] = {};
    std::swprintf(text, 16, L"%02u:%02u:%02u", clock.wHour, clock.wMinute, clock.wSecond);
    return text;
}

SIZE TextSize(HDC dc, const std::wstring& text) noexcept {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void DrawText(HDC dc, int x, int y, const std::wstring& text) noexcept {
    ::TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

void FillColor(HDC dc, const RECT& area, COLORREF color) noexcept {
    ql::Brush brush(::CreateSolidBrush(color));
    ::FillRect(dc, &area, brush.Get());
}

// An entry per shown pen: swatch, name, unit, minimum and maximum, on as many lines as the width needs;
// returns the legend's bottom.
int PaintLegend(HDC dc, const RECT& bounds, int lineHeight, const TrendChartPicture& picture) {
    const TrendChartSettings& settings = picture.settings;
    const int left = bounds.left + kMargin;
    int x = left;
    int y = bounds.top + kMargin;
    for (long pen = 1; pen <= TrendChartSettings::kPenCount; ++pen) {
        if (!IsShown(settings, pen)) continue;
        const TrendPenSettings& style = *settings.Pen(pen);
        std::wstring text = style.name;
        if (settings.showUnit && !style.unit.empty()) text += L" [" + style.unit + L"]";
        text += L"  " + FormatNumber(picture.data.Minimum(pen), style.precision) + L" .. " +
                FormatNumber(picture.data.Maximum(pen), style.precision);
        const int entryWidth = kSwatchWidth + kMargin + TextSize(dc, text).cx;
        if (x > left && x + entryWidth > bounds.right - kMargin) {
            x = left;
            y += lineHeight;
        }
        const RECT swatch{x, y + 2, x + kSwatchWidth, y + lineHeight - 2};
        FillColor(dc, swatch, style.color);
        DrawText(dc, swatch.right + kMargin, y, text);
        x += entryWidth + 3 * kMargin;
    }
    return y + lineHeight + kMargin;
}

void PaintGrid(HDC dc, const RECT& plot, const TrendChartSettings& settings) {
    ql::Pen gridPen(::CreatePen(PS_DOT, 1, settings.gridColor));
    ql::SelectedObject selected(dc, gridPen.Get());
    const int divisions = std::max(settings.gridLines, 1);
    for (int i = 1; i < divisions; ++i) {
        const int x = plot.left + MulDiv(plot.right - plot.left, i, divisions);
        const int y = plot.top + MulDiv(plot.bottom - plot.top, i, divisions);
        ::MoveToEx(dc, x, plot.top, nullptr);
        ::LineTo(dc, x, plot.bottom);
        ::MoveToEx(dc, plot.left, y, nullptr);
        ::LineTo(dc, plot.right, y);
    }
}

void PaintPen(HDC dc, const RECT& plot, long pen, ULONGLONG axisStart, ULONGLONG span,
              const TrendChartPicture& picture) {
    const auto& samples = picture.data.PenSamples(pen);
    if (samples.empty()) return;
    const TrendPenSettings& style = *picture.settings.Pen(pen);
    const Scale scale = ScaleOf(picture.data, pen);
    const double width = plot.right - plot.left;
    const double height = plot.bottom - plot.top;
    std::vector<POINT> points;
    for (const TrendSample& sample : samples) {
        if (!std::isfinite(sample.value)) continue;  // no place on the scale: the line skips it
        const double since = static_cast<double>(sample.time) - static_cast<double>(axisStart);
        const POINT point{plot.left + static_cast<LONG>(since * width / static_cast<double>(span)),
                          plot.bottom - static_cast<LONG>((sample.value - scale.minimum) * height /
                                                          (scale.maximum - scale.minimum))};
        if (style.discrete && !points.empty()) points.push_back(POINT{point.x, points.back().y});
        points.push_back(point);
    }
    if (points.empty()) return;
    if (points.size() == 1) points.push_back(POINT{points[0].x + 1, points[0].y});  // a lone value: a dot
    ql::Pen line(::CreatePen(PS_SOLID, std::max(style.width, 1), style.color));
    ql::SelectedObject selected(dc, line.Get());
    ::Polyline(dc, points.data(), static_cast<int>(points.size()));
}

// The pen whose scale the value axis shows: the chart's active pen when it is shown, else the first shown.
long AxisPen(const TrendChartSettings& settings) noexcept {
    if (settings.Pen(settings.activePen) && IsShown(settings, settings.activePen)) return settings.activePen;
    for (long pen = 1; pen <= TrendChartSettings::kPenCount; ++pen)
        if (IsShown(settings, pen)) return pen;
    return 0;
}

}  // namespace

void PaintTrendChart(HDC dc, const RECT& bounds, const TrendChartPicture& picture) noexcept {
    const TrendChartSettings& settings = picture.settings;
    FillColor(dc, bounds, settings.backColor);
    ql::Font font(::CreateFontIndirectW(&settings.font));
    ql::SelectedObject selectedFont(dc, font.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, settings.axisColor);
    const int lineHeight = TextSize(dc, L"0:").cy;

    (void)ql::GuardComCall([&]() -> HRESULT {
        const int top =
            settings.showLegend ? PaintLegend(dc, bounds, lineHeight, picture) : bounds.top + kMargin;
        const long axisPen = AxisPen(settings);
        std::wstring maximumText, minimumText;
        if (axisPen != 0) {
            const Scale scale = ScaleOf(picture.data, axisPen);
            maximumText = FormatNumber(scale.maximum, settings.Pen(axisPen)->precision);
            minimumText = FormatNumber(scale.minimum, settings.Pen(axisPen)->precision);
        }
        const int labelWidth = std::max(TextSize(dc, maximumText).cx, TextSize(dc, minimumText).cx);
        RECT plot{bounds.left + kMargin + labelWidth + kMargin, top + lineHeight / 2, bounds.right - kMargin,
                  bounds.bottom - kMargin - (settings.showTime ? lineHeight + kMargin : 0)};
        if (plot.right - plot.left < 2 || plot.bottom - plot.top < 2) return S_OK;

        DrawText(dc, bounds.left + kMargin, plot.top - lineHeight / 2, maximumText);
        DrawText(dc, bounds.left + kMargin, plot.bottom - lineHeight / 2, minimumText);
        const ULONGLONG span =
            static_cast<ULONGLONG>(std::max(settings.expireTimePast, 1)) * kMillisecondsPerSecond;
        const ULONGLONG axisEnd =
            std::max(picture.data.AxisEnd(settings.useFixTimeIntervals, picture.clock), span);
        const ULONGLONG axisStart = axisEnd - span;
        if (settings.showTime) {
            const std::wstring startText = FormatClock(picture.preparedAt, axisStart);
            const std::wstring endText = FormatClock(picture.preparedAt, axisEnd);
            DrawText(dc, plot.left, plot.bottom + kMargin, startText);
            DrawText(dc, plot.right - TextSize(dc, endText).cx, plot.bottom + kMargin, endText);
        }

        PaintGrid(dc, plot, settings);
        const int saved = ::SaveDC(dc);
        ::IntersectClipRect(dc, plot.left, plot.top, plot.right, plot.bottom);
        for (long pen = TrendChartSettings::kPenCount; pen >= 1; --pen)  // pen 1 on top
            if (IsShown(settings, pen)) PaintPen(dc, plot, pen, axisStart, span, picture);
        ::RestoreDC(dc, saved);

        ql::Pen axisPenLine(::CreatePen(PS_SOLID, 1, settings.axisColor));
        ql::SelectedObject selectedAxis(dc, axisPenLine.Get());
        ql::SelectedObject hollow(dc, ::GetStockObject(HOLLOW_BRUSH));
        ::Rectangle(dc, plot.left, plot.top, plot.right + 1, plot.bottom + 1);
        return S_OK;
    });
}

}  // namespace standins
