#pragma once
// Waiting on a user-interface thread for an event without freezing it: window messages (and the COM calls
// that arrive as messages, such as a channel's answers or a worker's marshalled calls) are dispatched while
// the wait lasts, so timers, window handlers and further requests, synchronous ones too, run inside it.
#include <windows.h>

namespace ql {

enum class PumpingWaitResult { Signalled, TimedOut, QuitRequested, Failed };

// Waits until `event` is signalled, or until `timeoutMs` have passed since the wait began, or a quit
// message arrives (it stays queued for the thread's own loop), or the wait itself fails (a null event, a
// failed wait). The limit counts from the start of the whole wait, not from the last message: a thread
// with a periodic timer must still see its waits end. INFINITE waits without limit. Messages are removed
// and dispatched one by one and the event is tested after each; an event that is already set answers
// Signalled at once.
PumpingWaitResult WaitWithMessagePump(HANDLE event, DWORD timeoutMs) noexcept;

}  // namespace ql
