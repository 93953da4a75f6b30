#pragma once
// How the benchmarks take their time: the performance counter in seconds, a call's own time beside the
// simulated device's, and the median of samples.
#include <windows.h>

#include <algorithm>
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

// The middle sample (the upper one of an even count); 0 without samples.
inline double Median(std::vector<double> samples) {
    if (samples.empty()) return 0.0;
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace bench
