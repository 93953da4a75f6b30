#pragma once
// A flag that is set for the lifetime of a scope, so that no way out (an early return among them) leaves
// it set: re-entrancy guards of code that dispatches messages or calls out.

namespace ql {

template <class Flag>
class ScopedFlag {
public:
    explicit ScopedFlag(Flag& flag) noexcept : flag_(flag) { flag_ = true; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;
    ~ScopedFlag() { flag_ = false; }

private:
    Flag& flag_;
};

}  // namespace ql
