#pragma once
// Short narrow texts of types and values for reports and for the parameter export: the name of a VARTYPE
// ("VT_UI1 | VT_ARRAY") and the display text of a VARIANT. Both write into the caller's buffer, zero-
// terminated, and cut what does not fit: a text never runs past the buffer. Narrow means the system's ANSI
// code page. Stateless; any thread.
#include <windows.h>

#include <oleauto.h>

#include <cstddef>

// The longest type text (55 characters: "VT_STREAMED_OBJECT | VT_VECTOR | VT_ARRAY | VT_RESERVED") and its
// zero.
constexpr size_t kVarTypeTextSize = 56;
// The buffer the system's callers keep for a display text.
constexpr size_t kDisplayTextSize = 264;
// A byte array shows at most this many hexadecimal digits: its first 127 bytes and the high digit of the
// 128th. The cut is the system's and is kept.
constexpr size_t kByteArrayDisplayDigits = 255;

// The name of the base type (low twelve bits) or "Unknown (%d)", followed by " | VT_VECTOR", " | VT_ARRAY"
// and " | VT_RESERVED" for those flags in that order; VT_BYREF adds nothing.
void VarTypeToString(VARTYPE type, char* text, size_t textSize) noexcept;
template <size_t N>
void VarTypeToString(VARTYPE type, char (&text)[N]) noexcept {
    VarTypeToString(type, text, N);
}

// The display text of `value`, chosen by its whole VARTYPE: empty for VT_EMPTY, VT_NULL and VT_VOID;
// integers in decimal; VT_R4 and VT_R8 with six decimals; VT_ERROR as 0x%08X; VT_BOOL "True" for
// VARIANT_TRUE and "False" for any other value; a string in the ANSI code page; a byte array as
// hexadecimal text of at most kByteArrayDisplayDigits digits (empty when it cannot be read); "..." for
// every other type. A null value gives the empty text.
void VariantToDisplayString(const VARIANT* value, char* text, size_t textSize) noexcept;
template <size_t N>
void VariantToDisplayString(const VARIANT* value, char (&text)[N]) noexcept {
    VariantToDisplayString(value, text, N);
}
