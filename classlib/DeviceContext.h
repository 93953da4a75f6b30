#pragma once
// Owners of device contexts: a window's (released) and a memory one (deleted) with one bitmap selected into
// it and put back before the context goes. GDI objects themselves: classlib/GdiObject.h.
#include <windows.h>

namespace ql {

// GetDC / ReleaseDC of a window (null: the screen).
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    HDC Get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context compatible with `reference`, drawing into `bitmap` (not owned) while it lives.
class MemoryDc {
public:
    MemoryDc(HDC reference, HBITMAP bitmap) noexcept : dc_(::CreateCompatibleDC(reference)) {
        if (dc_ && bitmap) old_ = ::SelectObject(dc_, bitmap);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() {
        if (!dc_) return;
        if (old_) ::SelectObject(dc_, old_);
        ::DeleteDC(dc_);
    }
    HDC Get() const noexcept { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

}  // namespace ql
