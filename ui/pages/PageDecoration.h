#pragma once
// The decoration the block pages share: coloured overlay statics laid exactly over hidden or framing group
// boxes (so each area of a page has its own background), and the area colours of static and read-only
// controls by control id. Stateless; the page's user-interface thread.
#include <windows.h>

#include <cstddef>

struct PageOverlay {
    UINT overlay;  // the static that is moved
    UINT area;     // the group box whose rectangle it takes
};

struct PageAreaColor {
    UINT first, last;  // control ids, both included
    COLORREF color;
};

// Moves every overlay onto its group box's rectangle in `dialog`'s client coordinates and repaints it;
// missing items are skipped.
void PlacePageOverlays(HWND dialog, const PageOverlay* overlays, size_t count) noexcept;

// The colour of `controlId` in the table; false when the table does not list it.
bool FindAreaColor(const PageAreaColor* colors, size_t count, UINT controlId, COLORREF& color) noexcept;

template <size_t N>
void PlacePageOverlays(HWND dialog, const PageOverlay (&overlays)[N]) noexcept {
    PlacePageOverlays(dialog, overlays, N);
}
template <size_t N>
bool FindAreaColor(const PageAreaColor (&colors)[N], UINT controlId, COLORREF& color) noexcept {
    return FindAreaColor(colors, N, controlId, color);
}
