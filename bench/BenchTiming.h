#pragma once
// How the benchmarks take their time: the performance counter in seconds, a call's own time beside the
// simulated device's, quantiles of samples, and samples set against the platform's floor measured with each.
#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace bench {

inline double Seconds() noexcept {
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / frequency;
}

// The own time of one call of `work`: its whole time less what `channel` (the simulated device, which
// counts its own seconds) spent in it, which goes to `channelTime` when given.
template <class Channel, class Work>
double OwnTime(Channel& channel, double* channelTime, Work work) {
    const double channelBefore = channel.OwnSeconds();
    const double start = Seconds();
    work();
    const double total = Seconds() - start;
    const double spent = channel.OwnSeconds() - channelBefore;
    if (channelTime) *channelTime = spent;
    return total - spent;
}

// The sample below which the share `fraction` (0 to 1) of the samples lies; 0 without samples.
inline double Quantile(std::vector<double> samples, double fraction) {
    if (samples.empty()) return 0.0;
    std::sort(samples.begin(), samples.end());
    const size_t index = static_cast<size_t>(fraction * static_cast<double>(samples.size()));
    return samples[std::min(index, samples.size() - 1)];
}

// The middle sample (the upper one of an even count); 0 without samples.
inline double Median(std::vector<double> samples) { return Quantile(std::move(samples), 0.5); }

// Each sample over the floor measured with it (a floor of 0, not measured, leaves its sample out).
inline std::vector<double> Ratios(const std::vector<double>& samples, const std::vector<double>& floors) {
    std::vector<double> ratios;
    for (size_t i = 0; i < samples.size() && i < floors.size(); ++i) {
        if (floors[i] > 0) ratios.push_back(samples[i] / floors[i]);
    }
    return ratios;
}

}  // namespace bench
