#pragma once
// The scalar OLE Automation types that the value conversions move between, with what every conversion
// needs to know of them: their width and where their value lies in a VARIANT. One table, so no
// conversion keeps a switch of its own over the type codes.
#include <windows.h>

#include <oleauto.h>

#include <cstddef>

struct ScalarTypeTraits {
    VARTYPE type;
    // Bytes of the value in a VARIANT and in an array element.
    size_t width;
    // One of the fourteen types that a scalar may have when it is wrapped into a one-element array or
    // taken out of one (VT_INT converts only element by element).
    bool wrapsInArray;
};

// The traits of a scalar type, or null for every other code (VT_EMPTY, arrays, by-reference codes ...).
const ScalarTypeTraits* FindScalarType(VARTYPE type) noexcept;
bool IsArrayWrappableType(VARTYPE type) noexcept;

// Where a value of `type` lies in `value`: a DECIMAL overlays the whole VARIANT (its first reserved word is
// the type field), every other value starts at the VARIANT's data part.
void* ScalarValueLocation(VARIANT& value, VARTYPE type) noexcept;
const void* ScalarValueLocation(const VARIANT& value, VARTYPE type) noexcept;

// What SafeArrayPutElement expects for the element held in `element`: the string itself for a BSTR, the
// interface pointer for an object, the address of the value for everything else.
void* ArrayElementArgument(VARIANT& element) noexcept;
