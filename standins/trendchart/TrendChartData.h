#pragma once
// CTrendChartData: the values of the chart's pens with their times, and each pen's scale (minimum and
// maximum). Times are milliseconds since the chart was prepared. With fixed intervals a pen's values follow
// each other at the interval, whatever the clock says; otherwise each value takes the time it arrives.
// Values older than the time axis shows expire, except the newest expired one of each pen, from which the
// pen's line enters the axis at its left end.
// A plain object of the chart; no window, no COM.
#include <windows.h>

#include <array>
#include <deque>

#include "TrendChartSettings.h"

namespace standins {

struct TrendSample {
    ULONGLONG time;  // milliseconds since Prepare
    double value;
};

class CTrendChartData {
public:
    using Samples = std::deque<TrendSample>;

    // Forgets every value and starts the time at 0 now; the scales come from `settings`.
    void Prepare(const TrendChartSettings& settings) noexcept;
    void SetInterval(ULONG milliseconds) noexcept { interval_ = milliseconds; }

    // `pen` must be a pen of the settings (1 to 32); `now` is the milliseconds since Prepare.
    void AddValue(long pen, double value, ULONGLONG now, const TrendChartSettings& settings);
    // A bound the settings fix stays as configured (false).
    bool SetMinimum(long pen, double minimum, const TrendChartSettings& settings) noexcept;
    bool SetMaximum(long pen, double maximum, const TrendChartSettings& settings) noexcept;

    const Samples& PenSamples(long pen) const noexcept { return pens_[Index(pen)].samples; }
    double Minimum(long pen) const noexcept { return pens_[Index(pen)].minimum; }
    double Maximum(long pen) const noexcept { return pens_[Index(pen)].maximum; }
    // The right end of the time axis: the newest value's time with fixed intervals, else `clock`.
    ULONGLONG AxisEnd(bool fixedIntervals, ULONGLONG clock) const noexcept;

private:
    struct Pen {
        Samples samples;
        ULONGLONG nextTime = 0;  // with fixed intervals
        double minimum = 0.0;
        double maximum = 0.0;
    };
    static size_t Index(long pen) noexcept { return static_cast<size_t>(pen - 1); }
    void Expire(Pen& pen, ULONGLONG axisEnd, ULONGLONG span) noexcept;

    std::array<Pen, TrendChartSettings::kPenCount> pens_;
    ULONG interval_ = 1000;
    ULONGLONG newest_ = 0;
};

}  // namespace standins
