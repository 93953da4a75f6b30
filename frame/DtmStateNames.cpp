#include "frame/DtmStateNames.h"

namespace {

constexpr const wchar_t* kStateNames[] = {
    L"constructed",                                   // 0
    L"created",                                       // 1
    L"prepared to release",                           // 2
    L"prepared to delete",                            // 3
    L"new dataset",                                   // 4
    L"dataset loaded",                                // 5
    L"environment set, waiting for the device type",  // 6
    L"initialised, waiting for the configuration",    // 7
    L"configured (offline)",                          // 8
    L"communication channel set (offline)",           // 9
    L"connecting",                                    // 10
    L"disconnecting",                                 // 11
    L"online",                                        // 12
};

}  // namespace

const wchar_t* DtmStateName(ULONG state) noexcept {
    if (state < sizeof kStateNames / sizeof kStateNames[0]) return kStateNames[state];
    return L"unknown state";
}
