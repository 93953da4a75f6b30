#pragma once
// The texts of one entry of the parameter list: the name of a value's VARTYPE and the value's text.
//
// The value text follows the system's display forms (integers in decimal, VT_BOOL "True"/"False", VT_ERROR
// 0x%08X, "..." for types without a form), with three differences that keep every exported value
// importable to the same value: a byte array is written in full (two digits per byte, never cut to an odd
// number of digits); a text is written whole; a float is written with six decimals ("%f", 2.5 gives
// 2.500000) when that text reads back to the same number, and otherwise with as many significant digits
// as it takes ("%.9g", then "%.17g").
// Stateless; any thread.
#include <windows.h>
#include <oleauto.h>

#include <string>

// "VT_UI1", "VT_UI1 | VT_ARRAY", "Unknown (300)" ... (VarTypeToString).
HRESULT ParameterListTypeName(VARTYPE type, std::wstring& name) noexcept;

// The value's text before escaping. E_OUTOFMEMORY, or the byte array's read failure.
HRESULT ParameterListValueText(const VARIANT& value, std::wstring& text) noexcept;
