#pragma once
// The scalar OLE Automation types: the one table of their widths, and the types that the value conversions
// move between with where their value lies in a VARIANT. No conversion or encoding keeps a switch or table
// of its own over the type codes' widths.
#include <windows.h>

#include <oleauto.h>

#include <cstddef>

// Bytes of a value of `type` as it lies in a VARIANT (from the data part on) and in an array element; 0 for
// the codes without a value of fixed width (VT_EMPTY, VT_NULL, VT_VARIANT, arrays, by-reference codes ...).
size_t VarTypeWidth(VARTYPE type) noexcept;

// A type the value conversions move between.
struct ScalarTypeTraits {
    VARTYPE type;
    // One of the fourteen types that a scalar may have when it is wrapped into a one-element array or
    // taken out of one (VT_INT converts only element by element).
    bool wrapsInArray;
};

// Whether `array` holds what a VARIANT of VT_ARRAY|`elementType` claims: elements of that type as the array
// itself holds them (ql::HoldsElementsOf), each as wide as a value of the type (a whole VARIANT for
// VT_VARIANT). False for a type without values of fixed width.
bool ArrayHoldsElementsOf(const SAFEARRAY& array, VARTYPE elementType) noexcept;

// The traits of a type the conversions move between, or null for every other code (VT_EMPTY, arrays,
// by-reference codes ...).
const ScalarTypeTraits* FindScalarType(VARTYPE type) noexcept;
bool IsArrayWrappableType(VARTYPE type) noexcept;

// Where a value of `type` lies in `value`: a DECIMAL overlays the whole VARIANT (its first reserved word is
// the type field), every other value starts at the VARIANT's data part.
void* ScalarValueLocation(VARIANT& value, VARTYPE type) noexcept;
const void* ScalarValueLocation(const VARIANT& value, VARTYPE type) noexcept;

// What SafeArrayPutElement expects for the element held in `element`: the string itself for a BSTR, the
// interface pointer for an object, the address of the value for everything else.
void* ArrayElementArgument(VARIANT& element) noexcept;
