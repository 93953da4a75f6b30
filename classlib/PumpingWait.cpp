#include "classlib/PumpingWait.h"

namespace ql {

namespace {

bool IsSignalled(HANDLE event) noexcept { return ::WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

}  // namespace

PumpingWaitResult WaitWithMessagePump(HANDLE event, DWORD timeoutMs) noexcept {
    if (!event) return PumpingWaitResult::Failed;
    for (;;) {
        const DWORD woke = ::MsgWaitForMultipleObjects(1, &event, FALSE, timeoutMs, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return PumpingWaitResult::Signalled;
        if (woke == WAIT_TIMEOUT) return PumpingWaitResult::TimedOut;
        if (woke != WAIT_OBJECT_0 + 1) return PumpingWaitResult::Failed;
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // The thread is asked to end: the quit stays for the thread's own loop, the wait gives up.
                ::PostQuitMessage(static_cast<int>(message.wParam));
                return PumpingWaitResult::Failed;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
            if (IsSignalled(event)) return PumpingWaitResult::Signalled;
        }
    }
}

}  // namespace ql
