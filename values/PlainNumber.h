#pragma once
// PlainNumberAsDouble: the VT_R8 value that the platform's conversion (VariantChangeType to VT_R8) gives a
// plain number, read straight from the VARIANT. The range checks compare thousands of numbers when a
// project opens; converting each through a copied VARIANT cost more than the rest of the check. Only the
// types whose conversion is exact or rounds as the compiler's own conversion does are read here; every
// other type (currency, decimal, date, texts, by-reference values ...) is left to the platform.
// Stateless; any thread.
#include <windows.h>

#include <oleauto.h>

// True with `number` set for VT_I1, VT_UI1, VT_I2, VT_UI2, VT_I4, VT_UI4, VT_INT, VT_UINT, VT_I8, VT_UI8,
// VT_R4, VT_R8 and VT_BOOL; false (number untouched) for every other type.
bool PlainNumberAsDouble(const VARIANT& value, double* number) noexcept;

// True for a plain number that is NaN or an infinity (only VT_R4 and VT_R8 can hold one): no value of any
// record, whatever its range, and nothing to compute a size from.
bool IsNonFiniteNumber(const VARIANT& value) noexcept;
