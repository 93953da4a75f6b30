#pragma once
// The texts of a PROFIBUS PA status byte (the status that travels with every measured value): its quality
// (bits 7-6), substatus (bits 5-2, kept in place) and limits (bits 1-0). The wording is the system's own
// and is shown as it stands. Stateless; any thread.
#include <windows.h>

// Writes all three texts for `status`; every byte maps to texts. A null output is skipped. The texts are
// constant and owned here.
void FormatPaStatus(BYTE status, const char** quality, const char** substatus, const char** limits) noexcept;
