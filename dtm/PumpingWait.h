#pragma once
// Waiting on the frame's user-interface thread for an event without freezing it: window messages (and the
// COM calls that arrive as messages, such as the channel's answers) are dispatched while the wait lasts.
#include <windows.h>

enum class PumpingWaitResult { Signalled, TimedOut, Failed };

// Waits until `event` is signalled, or until `timeoutMs` pass without any input arriving (each arrival of
// input starts the limit again, as the DTM's waits always have), or the wait itself fails. Messages are
// removed and dispatched one by one; the event is tested after each.
PumpingWaitResult WaitWithMessagePump(HANDLE event, DWORD timeoutMs) noexcept;
