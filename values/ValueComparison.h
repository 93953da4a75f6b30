#pragma once
// IsVariantEqual: whether two values are equal under the system's one set of rules. The type of the first
// value chooses the rule, so the comparison is not symmetric. Kept as the system relies on it:
//  - VT_I1, VT_UI2 and VT_UI4 first compare only the low 8, 16 or 32 bits of the two value fields and do
//    not look at the second value's type (VT_UI2 5 equals VT_I4 5, not the other way round);
//  - VT_DATE first compares the text forms of both values (a VT_BSTR holding the date's text is equal);
//  - a byte array first compares the bytes, whatever the lower bounds; an array that does not hold bytes
//    (ql::HoldsBytes) equals nothing, and is not read;
//  - VT_UI1, VT_I2, VT_BOOL, VT_I4, VT_ERROR, VT_R4, VT_R8, VT_BSTR (byte for byte, case and embedded NULs
//    counting), VT_DISPATCH and VT_UNKNOWN (pointer identity) need the same type and value;
//  - VT_EMPTY and VT_NULL equal only their own type;
//  - every other type, VT_CY and VT_DECIMAL included, never equals anything, not even an identical value.
// Neither value is changed. Stateless; any thread.
#include <windows.h>

#include <oleauto.h>

BOOL IsVariantEqual(const VARIANT& first, const VARIANT& second) noexcept;
