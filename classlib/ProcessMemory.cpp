#include "classlib/ProcessMemory.h"

#include <vector>

namespace ql {

namespace {

SIZE_T BusyBytes(HANDLE heap) noexcept {
    SIZE_T busy = 0;
    if (!::HeapLock(heap)) return 0;
    PROCESS_HEAP_ENTRY entry = {};
    while (::HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy += entry.cbData;
    }
    ::HeapUnlock(heap);
    return busy;
}

}  // namespace

SIZE_T ProcessPrivateBytes() noexcept {
    // Committed private pages, region by region: what Windows counts as private bytes. Wine's process
    // memory counters leave PrivateUsage at zero, but it keeps the commit state of every page.
    SIZE_T committed = 0;
    const BYTE* address = nullptr;
    MEMORY_BASIC_INFORMATION region = {};
    while (::VirtualQuery(address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) committed += region.RegionSize;
        const BYTE* next = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return committed;
}

SIZE_T HeapBytesInUse() noexcept {
    try {
        // A heap created between the two calls is missed; the caller measures a quiet process.
        std::vector<HANDLE> heaps(::GetProcessHeaps(0, nullptr) + 8);
        const DWORD count = ::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
        if (count > heaps.size()) return 0;
        SIZE_T total = 0;
        for (DWORD i = 0; i < count; ++i) total += BusyBytes(heaps[i]);
        return total;
    } catch (...) {
        return 0;
    }
}

}  // namespace ql
