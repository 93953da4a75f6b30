#pragma once
// Allocations that fail on request. The test program replaces the global operator new, so every C++
// allocation of the code linked into it (the DTM's static libraries, the language runtime) is counted while
// a thread has armed the counter, and the one asked for fails with std::bad_alloc. Allocations of other
// threads and of the platform's own DLLs are neither counted nor failed.
#include <cstddef>

namespace dtmtest {

class FailingAllocations {
public:
    // Starts counting the calling thread's allocations; the `failAt`-th one (from 1) fails, 0: none does.
    static void Arm(size_t failAt) noexcept;
    // Stops counting; answers how many allocations were asked for since Arm (the failed one included).
    static size_t Disarm() noexcept;
};

}  // namespace dtmtest
