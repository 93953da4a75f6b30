#pragma once
// The text forms in which a parameter value stands in a dialog control, both ways: a value shown through
// its parameter-map row's printf format, and the text a user typed read back for a single-precision
// number or a byte array. Single-precision numbers use the system default locale's decimal separator
// (not the user's, not the DTM's language); byte arrays show two upper-case hexadecimal digits and a
// blank per byte. Narrow texts are in the ANSI code page. Stateless; any thread.
#include <windows.h>
#include <oleauto.h>

#include <string>

// The text a text control shows for `value` under the row's `format` (a printf format with at most one
// conversion: an integer one for the integer types and booleans, a floating one for VT_R4 and VT_R8, %s
// for a text). `shown` is false for a type that has no text form, and for a value the format would read
// as another kind (the control keeps what it shows); VT_EMPTY shows "". A formatted text is cut to 255
// characters; a byte array's text does not use the format and is not cut. E_OUTOFMEMORY is the only
// failure.
HRESULT FormatDialogText(const char* format, const VARIANT& value, std::string& text, bool& shown) noexcept;

// Reads a single-precision number from `text`: the locale's decimal separator becomes '.', a bare
// exponent ("e3", " E2") gets its mantissa 1, the longest prefix that forms a decimal number is scanned,
// and the number takes the precision in which `format` shows it (a null or empty format keeps the scanned
// number). E_FAIL when the text holds no number; infinities, NaN, hexadecimal numbers and numbers beyond
// the range of a single count as none.
HRESULT ParseSingleDialogText(const std::string& text, const char* format, float& value) noexcept;

// Reads a byte array from `text`: the characters " .,:;" are dropped, an odd count gets a '0' at the end,
// then two hexadecimal digits (either case) make a byte. *value is replaced on success: VT_EMPTY for a text
// with no digits, else VT_ARRAY|VT_UI1 with lower bound 0; on failure it is VT_EMPTY. *value is
// overwritten without being cleared (the caller passes an empty one). E_INVALIDARG for a
// character that is no hexadecimal digit, E_OUTOFMEMORY, E_FAIL when the array cannot be made.
HRESULT ParseHexDialogText(const std::string& text, VARIANT* value) noexcept;
