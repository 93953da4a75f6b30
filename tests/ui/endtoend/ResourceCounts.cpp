#include "tests/ui/endtoend/ResourceCounts.h"

#include <map>
#include <vector>

namespace endtoend {

namespace {

// The handle table's size: handle indexes are 16 bits.
constexpr UINT_PTR kGdiTableSlots = 0x10000;

template <class Visit>
void ForEachGdiObject(Visit visit) {
    for (UINT_PTR index = 1; index < kGdiTableSlots; ++index) {
        const DWORD type = ::GetObjectType(reinterpret_cast<HGDIOBJ>(index));
        if (type != 0) visit(type);
    }
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<size_t*>(count);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
    ++*reinterpret_cast<size_t*>(count);
    // EnumChildWindows walks every level below the window.
    ::EnumChildWindows(window, CountChild, count);
    return TRUE;
}

void WalkHeap(HANDLE heap, ResourceCounts& counts) {
    if (!::HeapLock(heap)) return;
    PROCESS_HEAP_ENTRY entry{};
    while (::HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
            ++counts.heapBlocks;
            counts.heapBytes += entry.cbData;
        }
    }
    ::HeapUnlock(heap);
}

}  // namespace

void PrintTo(const ResourceCounts& counts, std::ostream* out) {
    *out << counts.gdiObjects << " GDI objects, " << counts.windows << " windows, " << counts.heapBlocks
         << " heap blocks (" << counts.heapBytes << " bytes)";
}

size_t CountGdiObjects() {
    const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0) return reported;
    size_t count = 0;
    ForEachGdiObject([&count](DWORD) { ++count; });
    return count;
}

std::wstring GdiObjectsByType() {
    std::map<DWORD, size_t> byType;
    ForEachGdiObject([&byType](DWORD type) { ++byType[type]; });
    std::wstring text;
    for (const auto& [type, count] : byType)
        text += L"type " + std::to_wstring(type) + L": " + std::to_wstring(count) + L"; ";
    return text;
}

size_t CountThreadWindows() {
    size_t count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&count));
    return count;
}

ResourceCounts CountResources() {
    ResourceCounts counts;
    counts.gdiObjects = CountGdiObjects();
    counts.windows = CountThreadWindows();
    std::vector<HANDLE> heaps(::GetProcessHeaps(0, nullptr) + 8);
    const DWORD heapCount = ::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    for (DWORD i = 0; i < heapCount && i < heaps.size(); ++i) WalkHeap(heaps[i], counts);
    return counts;
}

}  // namespace endtoend
