#pragma once
// Owners of device contexts: a window's (released), a window's painting one (BeginPaint / EndPaint) and a
// memory one (deleted) with one bitmap selected into it and put back before the context goes; the
// selection of one GDI object into a context, and a context's saved state, for a scope. GDI objects
// themselves: classlib/GdiObject.h.
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

// BeginPaint / EndPaint of a window, in its WM_PAINT handler.
class PaintDc {
public:
    explicit PaintDc(HWND window) noexcept : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { ::EndPaint(window_, &paint_); }
    HDC Get() const noexcept { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// `object` (not owned) selected into `dc` while the scope lives; the previous object is put back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (old_) ::SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// The state of `dc` (origins, clipping, selected objects) saved for the scope and restored when it ends.
class SavedDcState {
public:
    explicit SavedDcState(HDC dc) noexcept : dc_(dc), saved_(::SaveDC(dc)) {}
    SavedDcState(const SavedDcState&) = delete;
    SavedDcState& operator=(const SavedDcState&) = delete;
    ~SavedDcState() {
        if (saved_) ::RestoreDC(dc_, saved_);
    }

private:
    HDC dc_;
    int saved_;
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
