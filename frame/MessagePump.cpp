#include "frame/MessagePump.h"

namespace {

// Dispatches what is queued; false when a quit message asked the thread to end.
bool DispatchQueued(const std::function<bool()>* done) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
        if (done && (*done)()) return true;
    }
    return true;
}

}  // namespace

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return false;
        const DWORD left = static_cast<DWORD>(deadline - now);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, left, QS_ALLINPUT);
        if (!DispatchQueued(&done)) return done();
    }
}

void PumpPendingMessages() { (void)DispatchQueued(nullptr); }
