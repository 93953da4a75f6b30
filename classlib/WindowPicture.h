#pragma once
// The picture of a window and its child windows painted into any device context (a bitmap, a printer, a
// metafile), as the window shows it, whether or not the window is visible on the screen.
#include <windows.h>

namespace ql {

// Paints `window`'s client area and, over it, its visible children with their borders, stretched into
// `bounds` (logical units of `dc`). Each window draws its background and client area through WM_PRINT into
// a bitmap of its own that starts with what lies beneath it, as on the screen; the children and their
// borders are put together here, since WM_PRINT's own PRF_CHILDREN and PRF_NONCLIENT are not carried out by
// every platform (Wine draws neither), and controls draw correctly only into a context whose origin is
// their own. The state of `dc` is as before afterwards. False when the picture could not be made.
bool PaintWindowTree(HWND window, HDC dc, const RECT& bounds) noexcept;

}  // namespace ql
