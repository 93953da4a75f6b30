#include "TrendChartData.h"

#include <algorithm>

namespace standins {

namespace {

constexpr ULONGLONG kMillisecondsPerSecond = 1000;

ULONGLONG AxisSpan(const TrendChartSettings& settings) noexcept {
    return static_cast<ULONGLONG>(std::max(settings.expireTimePast, 1)) * kMillisecondsPerSecond;
}

}  // namespace

void CTrendChartData::Prepare(const TrendChartSettings& settings) noexcept {
    newest_ = 0;
    for (long pen = 1; pen <= TrendChartSettings::kPenCount; ++pen) {
        Pen& data = pens_[Index(pen)];
        data.samples.clear();
        data.nextTime = 0;
        data.minimum = settings.Pen(pen)->minimum;
        data.maximum = settings.Pen(pen)->maximum;
    }
}

void CTrendChartData::AddValue(long pen, double value, ULONGLONG now, const TrendChartSettings& settings) {
    Pen& data = pens_[Index(pen)];
    ULONGLONG time = now;
    if (settings.useFixTimeIntervals) {
        time = data.nextTime;
        data.nextTime += interval_;
    }
    data.samples.push_back(TrendSample{time, value});
    newest_ = std::max(newest_, time);
    const ULONGLONG axisEnd = AxisEnd(settings.useFixTimeIntervals, now);
    for (Pen& each : pens_) Expire(each, axisEnd, AxisSpan(settings));
}

bool CTrendChartData::SetMinimum(long pen, double minimum, const TrendChartSettings& settings) noexcept {
    if (settings.Pen(pen)->fixMinimum) return false;
    pens_[Index(pen)].minimum = minimum;
    return true;
}

bool CTrendChartData::SetMaximum(long pen, double maximum, const TrendChartSettings& settings) noexcept {
    if (settings.Pen(pen)->fixMaximum) return false;
    pens_[Index(pen)].maximum = maximum;
    return true;
}

ULONGLONG CTrendChartData::AxisEnd(bool fixedIntervals, ULONGLONG clock) const noexcept {
    return fixedIntervals ? newest_ : clock;
}

void CTrendChartData::Expire(Pen& pen, ULONGLONG axisEnd, ULONGLONG span) noexcept {
    if (axisEnd < span) return;
    const ULONGLONG axisStart = axisEnd - span;
    // Keep one value before the axis: the line comes in from it.
    while (pen.samples.size() >= 2 && pen.samples[1].time <= axisStart) pen.samples.pop_front();
}

}  // namespace standins
