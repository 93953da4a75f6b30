#pragma once
// The diagnosis section of the documentation: one fixed line per set bit of the physical block's
// diagnosis (4 bytes) and diagnosis extension (6 bytes), in table order. Bits without a meaning give no
// line. May throw std::bad_alloc.
#include <windows.h>

#include <string>

constexpr size_t kDiagnosisBytes = 4;
constexpr size_t kDiagnosisExtensionBytes = 6;

void AppendDiagnosisLines(const BYTE (&diagnosis)[kDiagnosisBytes],
                          const BYTE (&extension)[kDiagnosisExtensionBytes], std::wstring& body);
