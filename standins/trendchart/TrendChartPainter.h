#pragma once
// Draws the trend chart with GDI into any device context: a legend of the shown pens with their names,
// units, minimum and maximum; the value axis with the scale of the chart's active pen; a grid; each shown
// pen's values as a line in its colour and width, scaled between its own minimum and maximum; and the time
// axis below with clock times, whose right end is the newest time, so the chart scrolls as values arrive.
#include <windows.h>

#include "TrendChartData.h"
#include "TrendChartSettings.h"

namespace standins {

struct TrendChartPicture {
    const TrendChartSettings& settings;
    const CTrendChartData& data;
    ULONGLONG clock;      // milliseconds since Prepare, now
    FILETIME preparedAt;  // local time of Prepare, for the time axis' labels
};

void PaintTrendChart(HDC dc, const RECT& bounds, const TrendChartPicture& picture) noexcept;

}  // namespace standins
