#pragma once
// Conversions between arrays and scalars that the platform's VariantChangeTypeEx refuses: an array
// converted element by element, a scalar wrapped into a one-element array, an empty array for an empty
// value, and the first element of an array taken as a scalar. Every element conversion goes through
// ConvertBetweenVarTypes. Stateless; any thread that may touch the arrays passed.
#include <windows.h>

#include <oleauto.h>

#include "classlib/SafeArray.h"
#include "classlib/Variant.h"

// Converts every element of `source` (of `sourceElementType`) to `resultElementType` into a new array of
// the same dimensions and bounds, with locale id 0 and flags 0. On success *result owns the new array; on
// every failure it holds null. E_INVALIDARG for a null argument, E_OUTOFMEMORY when the new array cannot
// be made, else the code of the first element read, conversion or store that fails (a dimension without
// elements fails with the platform's DISP_E_BADINDEX).
HRESULT ConvertSafeArray(SAFEARRAY* source, SAFEARRAY** result, VARTYPE sourceElementType,
                         VARTYPE resultElementType) noexcept;

// A one-dimensional array of `elementType` with no elements and lower bound 0.
HRESULT MakeEmptyArray(VARTYPE elementType, ql::SafeArray& result) noexcept;

// A one-dimensional array with lower bound 0 holding `value` converted to `elementType`.
// DISP_E_TYPEMISMATCH when `value` is not one of the fourteen wrappable scalar types.
HRESULT WrapScalarInArray(const VARIANT& value, VARTYPE elementType, LCID lcid, ULONG flags,
                          ql::SafeArray& result) noexcept;

// The element at the lower bound of every dimension of `array`, converted from `elementType` to `wanted`
// (one of the fourteen wrappable scalar types, else DISP_E_TYPEMISMATCH). E_POINTER for a null array,
// E_INVALIDARG for one without dimensions; an array without elements fails with DISP_E_BADINDEX.
HRESULT FirstElementToScalar(SAFEARRAY* array, VARTYPE elementType, VARTYPE wanted, LCID lcid, ULONG flags,
                             ql::Variant& result) noexcept;
