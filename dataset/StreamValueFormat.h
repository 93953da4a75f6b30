#pragma once
// The encoding of one VARIANT in the dataset image: a 16-bit VARTYPE, then the value. Numbers of fixed width
// are written as their bytes (little-endian, as they lie in the VARIANT); every other value travels as a
// counted text (an unsigned 32-bit byte count N, then N bytes of UTF-16 ending in a 16-bit zero; N = 0 for
// a null text) and is converted back to its VARTYPE when read. One table for the writer and the reader.
#include <windows.h>
#include <oleauto.h>

// Bytes of the value for a fixed-width type; 0 for a type that travels as text or not at all.
ULONG FixedPayloadBytes(VARTYPE type) noexcept;

// The types whose values the image carries as text: exactly those that the writer can turn into text
// (a value's own VARTYPE is written before its text). Objects never belong to a dataset image: a project
// file must not create one, so the reader refuses them together with every other type.
bool IsTextPayloadType(VARTYPE type) noexcept;

// A counted text is never longer than the stream holding it; the image's reader additionally refuses one
// whose byte count is odd or that does not end in its 16-bit zero.
constexpr ULONG kNullTextBytes = 0;
