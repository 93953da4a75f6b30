#pragma once
// What the process holds of the three resources a user interface can leak: GDI objects, windows of the
// thread and heap blocks. Taken before and after repeated opens and closes; growth is a leak.
//
// GDI objects: GetGuiResources answers 0 under Wine, so the process's GDI handle table is probed instead:
// Wine's GetObjectType takes a handle that carries only the table index (no generation in the upper word)
// and answers the type of the live object at that index, 0 for a free slot. The probe covers the table's
// 64K slots once; on Windows GetGuiResources answers and no probe runs.
#include <windows.h>

#include <ostream>
#include <string>

namespace endtoend {

struct ResourceCounts {
    size_t gdiObjects = 0;
    size_t windows = 0;  // top-level windows of the thread and every child below them
    size_t heapBlocks = 0;
    size_t heapBytes = 0;
};

void PrintTo(const ResourceCounts& counts, std::ostream* out);

// The counts now. Dispatch the thread's messages first: a window destroyed by a posted message goes only
// then.
ResourceCounts CountResources();
size_t CountGdiObjects();
size_t CountThreadWindows();
// The GDI objects by type (OBJ_BITMAP ...), for a failure message that says what grew.
std::wstring GdiObjectsByType();

}  // namespace endtoend
