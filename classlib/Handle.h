#pragma once
// Owners of kernel handles: a generic one (events, threads) and a manual-reset event.
// Null is the only empty value kept: CreateEvent and CreateThread answer null on failure, never
// INVALID_HANDLE_VALUE.
#include <windows.h>

#include <utility>

namespace ql {

class Handle {
public:
    Handle() noexcept = default;
    explicit Handle(HANDLE owned) noexcept : handle_(owned) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : handle_(other.Detach()) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }
    ~Handle() { Reset(); }

    HANDLE Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    void Attach(HANDLE owned) noexcept {
        if (owned == handle_) return;
        Reset();
        handle_ = owned;
    }
    HANDLE Detach() noexcept { return std::exchange(handle_, nullptr); }
    void Reset() noexcept {
        HANDLE old = std::exchange(handle_, nullptr);
        if (old) ::CloseHandle(old);
    }

private:
    HANDLE handle_ = nullptr;
};

// A manual-reset event, created not signalled. When it cannot be created, Get() is null and Set, Reset
// and IsSet do nothing and answer false.
class ManualResetEvent {
public:
    ManualResetEvent() noexcept : handle_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

    HANDLE Get() const noexcept { return handle_.Get(); }
    void Set() noexcept {
        if (handle_) ::SetEvent(handle_.Get());
    }
    void Reset() noexcept {
        if (handle_) ::ResetEvent(handle_.Get());
    }
    bool IsSet() const noexcept {
        return handle_ && ::WaitForSingleObject(handle_.Get(), 0) == WAIT_OBJECT_0;
    }

private:
    Handle handle_;
};

// A manual-reset event whose kernel object is made only when it is first signalled or handed out for a
// wait: until then it reads as not signalled. For owners made by the thousand that seldom need theirs
// (every DTM object of a project keeps two for going online), since making and closing a kernel object
// each cost a round trip to the kernel. Not for sharing between threads: Get() makes the object, so it is
// used by its owner's thread only. When it cannot be created, Get() is null and Set and IsSet do nothing
// and answer false (the next need tries again).
class LazyManualResetEvent {
public:
    LazyManualResetEvent() noexcept = default;

    // The event for a wait.
    HANDLE Get() noexcept { return Made(FALSE); }
    void Set() noexcept {
        if (handle_) {
            ::SetEvent(handle_.Get());
        } else {
            // Made signalled; one that cannot be made is not signalled, and the next need tries again.
            (void)Made(TRUE);
        }
    }
    // An event not made yet is not signalled already.
    void Reset() noexcept {
        if (handle_) ::ResetEvent(handle_.Get());
    }
    bool IsSet() const noexcept {
        return handle_ && ::WaitForSingleObject(handle_.Get(), 0) == WAIT_OBJECT_0;
    }

private:
    HANDLE Made(BOOL signalled) noexcept {
        if (!handle_) handle_.Attach(::CreateEventW(nullptr, TRUE, signalled, nullptr));
        return handle_.Get();
    }

    Handle handle_;
};

}  // namespace ql
