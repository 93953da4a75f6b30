#pragma once
// How the benchmarks take their time: the performance counter in seconds, and the median of samples.
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

// The middle sample (the upper one of an even count); 0 without samples.
inline double Median(std::vector<double> samples) {
    if (samples.empty()) return 0.0;
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace bench
