#pragma once
// Conversion between screen pixels and HIMETRIC (0.01 mm), the unit of OLE extents, with the screen's
// logical pixels per inch (LOGPIXELSX for widths, LOGPIXELSY for heights), rounded to the nearest unit.
#include <windows.h>

#include "classlib/DeviceContext.h"

namespace ql {

inline constexpr LONG kHimetricPerInch = 2540;

inline SIZE ScreenPixelsPerInch() noexcept {
    WindowDc screen(nullptr);
    if (!screen.Get()) return SIZE{96, 96};
    return SIZE{::GetDeviceCaps(screen.Get(), LOGPIXELSX), ::GetDeviceCaps(screen.Get(), LOGPIXELSY)};
}

inline SIZEL PixelsToHimetric(SIZE pixels) noexcept {
    const SIZE dpi = ScreenPixelsPerInch();
    return SIZEL{(pixels.cx * kHimetricPerInch + dpi.cx / 2) / dpi.cx,
                 (pixels.cy * kHimetricPerInch + dpi.cy / 2) / dpi.cy};
}

inline SIZE HimetricToPixels(SIZEL himetric) noexcept {
    const SIZE dpi = ScreenPixelsPerInch();
    return SIZE{(himetric.cx * dpi.cx + kHimetricPerInch / 2) / kHimetricPerInch,
                (himetric.cy * dpi.cy + kHimetricPerInch / 2) / kHimetricPerInch};
}

}  // namespace ql
