#include "FailingAllocations.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<DWORD> armedThread{0};
size_t allocations = 0;  // touched only by the armed thread
size_t failAt = 0;

// Whether this allocation is the one to fail.
bool CountAllocation() noexcept {
    if (armedThread.load(std::memory_order_acquire) != ::GetCurrentThreadId()) return false;
    return ++allocations == failAt;
}

void* Allocate(std::size_t size) {
    if (CountAllocation()) throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

}  // namespace

namespace dtmtest {

void FailingAllocations::Arm(size_t failAtAllocation) noexcept {
    allocations = 0;
    failAt = failAtAllocation;
    armedThread.store(::GetCurrentThreadId(), std::memory_order_release);
}

size_t FailingAllocations::Disarm() noexcept {
    armedThread.store(0, std::memory_order_release);
    return allocations;
}

}  // namespace dtmtest

// The nothrow and array forms of the language runtime call these.
void* operator new(std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
