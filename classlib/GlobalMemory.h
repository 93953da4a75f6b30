#pragma once
// Scoped GlobalLock of an HGLOBAL (the memory behind a stream on global memory).
#include <windows.h>

namespace ql {

class GlobalMemoryLock {
public:
    explicit GlobalMemoryLock(HGLOBAL memory) noexcept
        : memory_(memory), data_(memory ? ::GlobalLock(memory) : nullptr) {}
    GlobalMemoryLock(const GlobalMemoryLock&) = delete;
    GlobalMemoryLock& operator=(const GlobalMemoryLock&) = delete;
    ~GlobalMemoryLock() {
        if (data_) ::GlobalUnlock(memory_);
    }
    // Null when the handle was null or could not be locked.
    void* Data() const noexcept { return data_; }
    SIZE_T Size() const noexcept { return data_ ? ::GlobalSize(memory_) : 0; }

private:
    HGLOBAL memory_;
    void* data_;
};

}  // namespace ql
