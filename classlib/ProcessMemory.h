#pragma once
// What the process holds in memory, for benchmarks and for tests that prove nothing accumulates.
#include <windows.h>

namespace ql {

// The process's private bytes: its committed private pages (what Windows counts as private bytes).
SIZE_T ProcessPrivateBytes() noexcept;
// The bytes of every heap of the process that are allocated and not freed (a walk of each heap), without
// the heaps' own bookkeeping. Exact where private bytes move in pages; 0 when no heap could be walked.
SIZE_T HeapBytesInUse() noexcept;

}  // namespace ql
