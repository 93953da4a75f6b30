#pragma once
// The diagnosis display shared by the diagnosis view and page: the physical block's diagnosis (parameter
// 29, bytes 0, 1 and 3) and its extension (parameter 30, bytes 0 and 1) as check boxes, one per bit, a set
// bit ticked and enabled, a clear bit empty and greyed; and the groups' overlays and colours.
// Stateless; the control's user-interface thread.
#include <windows.h>
#include <oaidl.h>

#include "ui/pages/PageDecoration.h"

constexpr ULONG kDiagnosisId = 29;
constexpr ULONG kDiagnosisExtId = 30;

// Whether `id` is one of the two diagnosis parameters.
inline bool IsDiagnosisId(ULONG id) noexcept { return id == kDiagnosisId || id == kDiagnosisExtId; }

// Shows `value` of diagnosis parameter `id` in the check boxes of `dialog`. A byte array fills the
// parameter's bytes from the start (missing bytes count as 0, extra bytes are ignored); any other type
// clears them; an array that is not one-dimensional or cannot be read leaves the boxes as they are.
void ShowDiagnosisBits(HWND dialog, ULONG id, const VARIANT& value) noexcept;

// Moves each group's overlay static onto its group box.
void PlaceDiagnosisOverlays(HWND dialog) noexcept;

// The area colour of a static of the diagnosis groups; false for any other control.
bool FindDiagnosisColor(UINT controlId, COLORREF& color) noexcept;

// The overlays and the group boxes they lie over, the outer frame first; `count` receives their number.
const PageOverlay* DiagnosisOverlays(size_t& count) noexcept;
// The colours of the groups' frames, overlays and bit texts; `count` receives their number.
const PageAreaColor* DiagnosisColors(size_t& count) noexcept;
