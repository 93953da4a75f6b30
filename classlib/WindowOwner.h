#pragma once
// Owner of one window that its creator must destroy (a modeless dialog, a top-level window of a test).
// Child windows go with their parent and need no owner. Used on the window's own thread only.
#include <windows.h>

#include <utility>

namespace ql {

class WindowOwner {
public:
    WindowOwner() noexcept = default;
    explicit WindowOwner(HWND owned) noexcept : window_(owned) {}
    WindowOwner(const WindowOwner&) = delete;
    WindowOwner& operator=(const WindowOwner&) = delete;
    WindowOwner(WindowOwner&& other) noexcept : window_(other.Detach()) {}
    WindowOwner& operator=(WindowOwner&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }
    ~WindowOwner() { Reset(); }

    HWND Get() const noexcept { return window_; }
    explicit operator bool() const noexcept { return window_ != nullptr; }
    void Attach(HWND owned) noexcept {
        if (owned == window_) return;
        Reset();
        window_ = owned;
    }
    HWND Detach() noexcept { return std::exchange(window_, nullptr); }
    void Reset() noexcept {
        HWND old = std::exchange(window_, nullptr);
        if (old && ::IsWindow(old)) ::DestroyWindow(old);
    }

private:
    HWND window_ = nullptr;
};

}  // namespace ql
