#pragma once
// What the frame host's top-level windows share: their window class, the object a window belongs to, and
// the frame's message loop that offers every key to the hosted user interface first.
// Threading: the frame's user-interface thread.
#include <windows.h>

// Registers the window class `className` of this program (arrow cursor, button-face background) with
// `procedure`, once; S_OK when it is registered.
HRESULT RegisterFrameWindowClass(const wchar_t* className, WNDPROC procedure) noexcept;

// For a window procedure: the object the window was created for (CreateWindowEx's parameter), kept in the
// window's user data from WM_NCCREATE on; null before. At WM_NCDESTROY the window lets go of it, and the
// object is answered one last time.
template <class Owner>
Owner* FrameWindowOwner(HWND window, UINT message, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* owner = reinterpret_cast<Owner*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return owner;
}

// The frame's loops for a window that hosts a user interface: `host.TranslateKey(&message)` is offered
// every message first and answers whether the user interface used it; `host.IsOpen()` ends the loop.
template <class Host>
void DispatchToHost(Host& host, MSG& message) noexcept {
    if (host.TranslateKey(&message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}
// Dispatches the messages waiting now.
template <class Host>
void PumpHostMessages(Host& host) noexcept {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchToHost(host, message);
}
// Runs until the host's window is gone (or the thread is asked to quit).
template <class Host>
void RunHostLoop(Host& host) noexcept {
    MSG message{};
    while (host.IsOpen() && ::GetMessageW(&message, nullptr, 0, 0) > 0) DispatchToHost(host, message);
}
