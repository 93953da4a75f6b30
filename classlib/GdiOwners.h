#pragma once
// Owners of GDI resources: an object (brush, bitmap, font ... deleted when the owner goes), a window's
// device context (released), and a memory device context (deleted) with one object selected into it and
// put back before the context goes.
#include <windows.h>

#include <utility>

namespace ql {

template <class Handle>
class GdiObject {
public:
    GdiObject() noexcept = default;
    explicit GdiObject(Handle owned) noexcept : handle_(owned) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : handle_(other.Detach()) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }
    ~GdiObject() { Reset(); }

    Handle Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    void Attach(Handle owned) noexcept {
        if (owned == handle_) return;
        Reset();
        handle_ = owned;
    }
    Handle Detach() noexcept { return std::exchange(handle_, nullptr); }
    void Reset() noexcept {
        Handle old = std::exchange(handle_, nullptr);
        if (old) ::DeleteObject(old);
    }

private:
    Handle handle_ = nullptr;
};

using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;

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
