#pragma once
// Owner of one CRITICAL_SECTION and a scoped hold on it. The module's locks (type information, window
// creation, object map) are of this kind; apartment-threaded objects need no other locking.
#include <windows.h>

namespace ql {

class CriticalSection {
public:
    CriticalSection() noexcept { ::InitializeCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    ~CriticalSection() { ::DeleteCriticalSection(&section_); }

    void Enter() noexcept { ::EnterCriticalSection(&section_); }
    void Leave() noexcept { ::LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

class CriticalSectionHold {
public:
    explicit CriticalSectionHold(CriticalSection& section) noexcept : section_(section) { section_.Enter(); }
    CriticalSectionHold(const CriticalSectionHold&) = delete;
    CriticalSectionHold& operator=(const CriticalSectionHold&) = delete;
    ~CriticalSectionHold() { section_.Leave(); }

private:
    CriticalSection& section_;
};

}  // namespace ql
