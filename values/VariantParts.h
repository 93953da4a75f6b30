#pragma once
// What a given VARIANT holds, read as the system reads it: through references (VT_BYREF, to a VARIANT
// too) and into every element of an array, of VARIANTs too. A setter judges a caller's value by these
// before it takes any of it, since a conversion or a copy reaches every one of those parts.
// Stateless; any thread that may read the VARIANT.
#include <windows.h>

#include <oleauto.h>

// Whether `test` holds for every scalar part of `value`: its type (without VT_BYREF and VT_ARRAY) and
// the address of its data (a BSTR*, an IDispatch**, ...). False for what cannot be read through:
// a null reference, references and arrays nested beyond any real use (one that refers to itself),
// an array that does not hold what its type claims (ql::HoldsElementsOf: a whole descriptor of elements of
// that type and width, texts and VARIANTs only where the platform owns them), and a VARIANT that claims to
// hold a VARIANT other than by reference.
using VariantPartTest = bool (*)(VARTYPE type, const void* data);
bool EveryPart(const VARIANT& value, VariantPartTest test) noexcept;

// Whether every text in `value` is whole: a text of an odd byte count has its last UTF-16 character
// only half there, and no counted text can carry it (the platform's conversion of a byte string of odd
// length to a text makes one). False too for a value that cannot be read through, as above.
bool IsWholeValue(const VARIANT& value) noexcept;
// The same for a text on its own; the null text is whole.
bool IsWholeText(BSTR text) noexcept;

// Whether `value` holds an object anywhere (VT_DISPATCH, VT_UNKNOWN, VT_RECORD), or cannot be read
// through: a field that keeps it would call the caller's object at every later read.
bool HoldsObject(const VARIANT& value) noexcept;
