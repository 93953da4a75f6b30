#pragma once
// Owner of one image list of the common controls: destroyed when the owner goes or takes another. A tree
// or list view that shows the list does not destroy it, so the window's owner keeps this one alive for as
// long as the view lives.
#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace ql {

class ImageList {
public:
    ImageList() noexcept = default;
    explicit ImageList(HIMAGELIST owned) noexcept : handle_(owned) {}
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;
    ImageList(ImageList&& other) noexcept : handle_(other.Detach()) {}
    ImageList& operator=(ImageList&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }
    ~ImageList() { Reset(); }

    HIMAGELIST Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    void Attach(HIMAGELIST owned) noexcept {
        if (owned == handle_) return;
        Reset();
        handle_ = owned;
    }
    HIMAGELIST Detach() noexcept { return std::exchange(handle_, nullptr); }
    void Reset() noexcept {
        HIMAGELIST old = std::exchange(handle_, nullptr);
        if (old) ::ImageList_Destroy(old);
    }

private:
    HIMAGELIST handle_ = nullptr;
};

}  // namespace ql
