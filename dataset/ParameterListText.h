#pragma once
// The texts of one entry of the parameter list: the name of a value's VARTYPE and the value's text.
//
// The value text follows the system's display forms (integers in decimal, VT_BOOL "True"/"False", VT_ERROR
// 0x%08X, "..." for types without a form), with three differences that keep every exported value
// importable to the same value: a byte array is written in full (two digits per byte, never cut to an odd
// number of digits); a text is written whole; a float is written with six decimals (2.5 gives 2.500000)
// when that text reads back to the same number, and otherwise as the shortest text that does. Numbers
// have one form on every machine, a point before the decimals, whatever the user's locale: a list goes
// from one machine to another.
// Stateless; any thread.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

#include "classlib/Variant.h"

// "VT_UI1", "VT_UI1 | VT_ARRAY", "Unknown (300)" ... (VarTypeToString).
HRESULT ParameterListTypeName(VARTYPE type, std::wstring& name) noexcept;

// The value's text before escaping. E_OUTOFMEMORY, or the byte array's read failure.
HRESULT ParameterListValueText(const VARIANT& value, std::wstring& text) noexcept;

// The value of a list entry whose record has `type`, read from its text as the export writes it: a text
// as it stands, a byte string from its hexadecimal digits, a number in the list's one form (the whole text
// a number in the type's range; a float finite; an empty text 0). DISP_E_TYPEMISMATCH (E_INVALIDARG for bad
// hexadecimal) for a text that does not read back as written; `value` is replaced only on success.
HRESULT ParameterListReadValue(std::wstring_view text, VARTYPE type, ql::Variant& value) noexcept;
