#pragma once
// The typed VARIANTs the block pages store into the dataset and write to the device: a float, a byte and a
// 16-bit unit code, each in the type its parameter's record keeps.
#include <windows.h>

#include "classlib/Variant.h"

inline ql::Variant FloatValue(float number) noexcept {
    ql::Variant value;
    value.SetR4(number);
    return value;
}

inline ql::Variant ByteValue(BYTE number) noexcept {
    ql::Variant value;
    value.SetUI1(number);
    return value;
}

inline ql::Variant UnitValue(USHORT unit) noexcept {
    ql::Variant value;
    value.Put()->vt = VT_UI2;
    V_UI2(value.Get()) = unit;
    return value;
}
