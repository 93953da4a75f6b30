#include "classlib/PumpingWait.h"

#include "classlib/SelfHold.h"

namespace ql {

namespace {

bool IsSignalled(HANDLE event) noexcept { return ::WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

// What is left of a wait of `timeoutMs` begun at `start`; INFINITE stays INFINITE.
DWORD Remaining(ULONGLONG start, DWORD timeoutMs) noexcept {
    if (timeoutMs == INFINITE) return INFINITE;
    const ULONGLONG elapsed = ::GetTickCount64() - start;
    return elapsed >= timeoutMs ? 0 : static_cast<DWORD>(timeoutMs - elapsed);
}

}  // namespace

PumpingWaitResult WaitWithMessagePump(HANDLE event, DWORD timeoutMs) noexcept {
    if (!event) return PumpingWaitResult::Failed;
    // Whatever the messages run, the caller of the wait is still on the stack.
    const CallOutScope waiting;
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        const DWORD woke =
            ::MsgWaitForMultipleObjects(1, &event, FALSE, Remaining(start, timeoutMs), QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return PumpingWaitResult::Signalled;
        if (woke == WAIT_TIMEOUT) return PumpingWaitResult::TimedOut;
        if (woke != WAIT_OBJECT_0 + 1) return PumpingWaitResult::Failed;
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // The thread is asked to end: the quit stays for the thread's own loop, the wait gives up.
                ::PostQuitMessage(static_cast<int>(message.wParam));
                return PumpingWaitResult::QuitRequested;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
            if (IsSignalled(event)) return PumpingWaitResult::Signalled;
            // A queue that never runs dry must not stretch the wait either.
            if (Remaining(start, timeoutMs) == 0) return PumpingWaitResult::TimedOut;
        }
    }
}

}  // namespace ql
