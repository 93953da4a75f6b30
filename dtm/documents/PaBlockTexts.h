#pragma once
// The texts of a PROFIBUS PA block: its block, parent class and class codes (from the block object) and its
// mode record (actual, permitted and normal mode). The wording, misspellings included, is the system's own
// vocabulary and is shown as it stands. Texts are constant and owned here. Stateless; any thread.
#include <windows.h>
#include <oleauto.h>

// Writes the three texts for a block object's codes; every code maps to texts. A null output is skipped.
void FormatBlockClass(BYTE block, BYTE parentClass, BYTE blockClass, const char** blockText,
                      const char** parentClassText, const char** classText) noexcept;

// Permitted-mode bits of a block mode record.
constexpr BYTE kPermittedOutOfService = 0x80;
constexpr BYTE kPermittedManual = 0x10;
constexpr BYTE kPermittedAutomatic = 0x08;

// Reads a block mode record (actual mode in byte 0, permitted modes in 1, normal mode in 2). A byte array
// without its array writes nothing at all. A value that is not a one-dimensional byte array of at least 3
// bytes counts as actual 8, permitted 0x58, normal 8. The actual and normal texts are written only for the
// mode bytes 8, 16 and 128 (otherwise left as the caller set them); the three flags are always written, 1
// or 0. A null output is skipped.
void FormatBlockMode(const VARIANT& record, const char** actualText, const char** normalText,
                     ULONG* automaticPermitted, ULONG* outOfServicePermitted,
                     ULONG* manualPermitted) noexcept;
