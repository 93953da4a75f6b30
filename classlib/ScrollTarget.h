#pragma once
// The position a scroll bar moves to on a scroll notification, for windows that scroll their contents
// themselves. Stateless; any thread.
#include <windows.h>

#include <algorithm>

namespace ql {

// `code` is the notification (the low word of WM_HSCROLL's or WM_VSCROLL's wParam) and `thumb` the thumb's
// track position; `page` is the extent the window shows and `total` the contents'. A line is one unit, a
// page `page` units, a thumb drag goes where the thumb is. The answer stays within 0 to
// max(0, total - page); SB_THUMBPOSITION and the other codes keep `position` (brought within that range):
// the contents followed the thumb while it moved.
inline LONG ScrollTarget(UINT code, LONG position, LONG thumb, LONG page, LONG total) noexcept {
    LONG step = 0;
    switch (code) {
        case SB_LINEUP:
            step = -1;
            break;
        case SB_LINEDOWN:
            step = 1;
            break;
        case SB_PAGEUP:
            step = -page;
            break;
        case SB_PAGEDOWN:
            step = page;
            break;
        case SB_THUMBTRACK:
            step = thumb - position;
            break;
        default:
            break;
    }
    return std::clamp<LONG>(position + step, 0, std::max<LONG>(total - page, 0));
}

}  // namespace ql
