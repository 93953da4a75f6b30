#pragma once
// Small helpers the control base's parts share: ids and field masks as the VT_UI4 VARIANTs the DTM's
// interfaces take, and the class library's flag that is set for the lifetime of a scope.
#include <windows.h>

#include "classlib/ScopedFlag.h"
#include "classlib/Variant.h"

inline ql::Variant UlongArgument(ULONG value) noexcept {
    ql::Variant argument;
    argument.SetUI4(value);
    return argument;
}

using ql::ScopedFlag;
