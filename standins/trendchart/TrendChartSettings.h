#pragma once
// The configuration of the trend chart: its pens and how it draws them, as its persisted text gives them.
//
// The text is a list of items "Key: value|". Pen items carry the pen's number after the key ("Name1",
// "Color12"); the others name the chart's own settings. Unknown keys and values that do not read as their
// kind are skipped, so a text from a newer chart still loads; what an item does not give keeps its default.
#include <windows.h>

#include <array>
#include <string>
#include <string_view>

namespace standins {

struct TrendPenSettings {
    std::wstring name;
    std::wstring unit;
    COLORREF color = 0;
    int width = 1;
    int precision = 1;  // decimals of the pen's minimum and maximum in the legend
    bool active = false;
    bool discrete = false;  // steps instead of slopes between two values
    // A fixed bound is the configured one; the chart's callers do not move it.
    bool fixMinimum = false;
    bool fixMaximum = false;
    double minimum = 0.0;
    double maximum = 0.0;
};

struct TrendChartSettings {
    static constexpr int kPenCount = 32;

    // Values of a pen follow each other at the chart's interval instead of at the time they arrive.
    bool useFixTimeIntervals = true;
    std::array<TrendPenSettings, kPenCount> pens;
    int activePen = 1;          // the pen whose scale the value axis shows
    int expireTimePast = 60;    // seconds of the past the time axis shows; older values expire
    int gridLines = 10;         // divisions of each axis
    int redrawInterval = 1000;  // milliseconds between redraws while the time axis runs by the clock
    COLORREF backColor = RGB(255, 255, 255);
    COLORREF gridColor = RGB(128, 128, 128);
    COLORREF axisColor = RGB(0, 0, 0);
    bool showTime = true;
    bool showInactivePens = false;
    bool showLegend = true;
    bool showUnit = true;
    LOGFONTW font{};

    // The settings of a chart started new: pens named "Pen n", none active.
    TrendChartSettings();
    // The pen of number `pen` (1 to kPenCount); null for any other number.
    TrendPenSettings* Pen(long pen) noexcept;
    const TrendPenSettings* Pen(long pen) const noexcept;
};

// Applies the items of `text` to `settings`.
void ApplySettingsText(std::wstring_view text, TrendChartSettings& settings);

}  // namespace standins
