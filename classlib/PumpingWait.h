#pragma once
// Waiting on a user-interface thread for an event without freezing it: window messages (and the COM calls
// that arrive as messages, such as a channel's answers or a worker's marshalled calls) are dispatched while
// the wait lasts, so timers, window handlers and further requests, synchronous ones too, run inside it.
#include <windows.h>

namespace ql {

enum class PumpingWaitResult { Signalled, TimedOut, Failed };

// Waits until `event` is signalled, or until `timeoutMs` pass without any input arriving, or the wait
// itself fails (a null event, a failed wait, a quit message, which stays queued for the thread's own loop).
// The limit restarts with every wait for input: it bounds each quiet interval, not the whole wait. Messages
// are removed and dispatched one by one and the event is tested after each; an event that is already set
// answers Signalled at once.
PumpingWaitResult WaitWithMessagePump(HANDLE event, DWORD timeoutMs) noexcept;

}  // namespace ql
