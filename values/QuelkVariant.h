#pragma once
// CQuelkVariant: the usual temporary for values passed to interface methods, built empty or from an
// unsigned or a signed 32-bit number (VT_UI4, VT_I4) and cleared when it goes. It is a ql::Variant, the one
// VARIANT owner of the system, under the name its callers use, and passes as the VARIANT it holds wherever
// a method takes one by value or by const reference.
//
// It owns whatever its VARIANT holds and cannot be copied: a copy would share the owned string, array or
// reference and free it twice; code that needs a deep copy uses CopyTo or CopyFrom.
#include <windows.h>

#include <oleauto.h>

#include "classlib/Variant.h"

class CQuelkVariant : public ql::Variant {
public:
    CQuelkVariant() noexcept = default;
    explicit CQuelkVariant(ULONG value) noexcept { SetUI4(value); }
    explicit CQuelkVariant(LONG value) noexcept { SetI4(value); }

    operator const VARIANT&() const noexcept { return **this; }
};
