#pragma once
// The scalar OLE Automation types that the value conversions move between, with where their value lies in a
// VARIANT. Their widths are the class library's one table (ql::VarTypeWidth); no conversion or encoding
// keeps a switch or table of its own over the type codes' widths.
#include <windows.h>

#include <oleauto.h>

// A type the value conversions move between.
struct ScalarTypeTraits {
    VARTYPE type;
    // One of the fourteen types that a scalar may have when it is wrapped into a one-element array or
    // taken out of one (VT_INT converts only element by element).
    bool wrapsInArray;
};

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
