#pragma once
// Owner of one GDI object (brush, bitmap, font, pen): deleted when the owner goes or takes another.
// Stock objects must not be put into an owner.
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
using Pen = GdiObject<HPEN>;
using Font = GdiObject<HFONT>;

}  // namespace ql
