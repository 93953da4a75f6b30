#pragma once
// Cyclic reading of a short list of parameters from the device while the DTM is online.
//
// CQuelkCyclicTimer: a window timer and the list of parameter ids its ticks read. The timer id is the
// address of the object that owns the member, so every object's timer is distinct.
//
// CQuelkCyclicReader: what the pages and views that read cyclically share: the timer and the tick. A tick
// reads nothing while an online upload or download runs, while the DTM is not online (state 12), or while
// an earlier tick of the same reader still waits for the device (the synchronous read pumps messages, so a
// further WM_TIMER can arrive inside it). Around each read the record carries the online transfer mark,
// so the DTM announces the value read as a device value. The tick refreshes no control itself: the value
// reaches the controls through the DTM's notification.
//
// Threading: the user-interface thread of the window that owns the timer; nothing is locked.
#include <windows.h>

#include <vector>

#include "QuelkInterfaces.h"

class CQuelkCyclicTimer {
public:
    CQuelkCyclicTimer() noexcept = default;
    CQuelkCyclicTimer(const CQuelkCyclicTimer&) = delete;
    CQuelkCyclicTimer& operator=(const CQuelkCyclicTimer&) = delete;
    ~CQuelkCyclicTimer() { Stop(); }

    // Stops first; false for timer id 0 or when SetTimer fails (the timer then stays stopped).
    bool Start(HWND window, UINT_PTR timerId, UINT interval) noexcept;
    void Stop() noexcept;
    // Appends `id` (duplicates are read twice per tick); false when memory runs out (the list is unchanged).
    bool AddId(ULONG id) noexcept;

    bool IsRunning() const noexcept { return timerId_ != 0; }
    const std::vector<ULONG>& Ids() const noexcept { return ids_; }

private:
    UINT_PTR timerId_ = 0;
    std::vector<ULONG> ids_;
    HWND window_ = nullptr;
};

class CQuelkCyclicReader {
public:
    static constexpr UINT kPageInterval = 2000;
    static constexpr UINT kViewInterval = 1000;

    CQuelkCyclicTimer& Timer() noexcept { return timer_; }

    // One cycle over the list against the store `variables` (null: nothing happens).
    void Tick(IQuelkVariables* variables) noexcept;
    // The WM_TIMER handler: one cycle whatever the timer id; always handled, result 0.
    LRESULT OnCyclicTimer(IQuelkVariables* variables, BOOL& handled) noexcept {
        Tick(variables);
        handled = TRUE;
        return 0;
    }

private:
    void ReadMarked(IQuelkVariablesEx* store, IQuelkVariableFields* fields, ULONG id) noexcept;

    CQuelkCyclicTimer timer_;
    bool ticking_ = false;
};
