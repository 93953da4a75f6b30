#pragma once
// Small helpers the control base's parts share: ids and field masks as the VT_UI4 VARIANTs the DTM's
// interfaces take, and a flag that is set for the lifetime of a scope, so that no way out leaves it set.
#include <windows.h>

#include "classlib/Variant.h"

inline ql::Variant UlongArgument(ULONG value) noexcept {
    ql::Variant argument;
    argument.SetUI4(value);
    return argument;
}

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
