#pragma once
// The frame's waits: while it waits for something the DTM does later (an answer that arrives as a message,
// a worker that reports back), the frame keeps dispatching its thread's window messages.
#include <windows.h>

#include <functional>

// Dispatches messages until `done` answers true (true) or `timeoutMs` passed (false). `done` is asked
// before the first wait and after every message.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Dispatches the messages waiting now, without waiting for more.
void PumpPendingMessages();
