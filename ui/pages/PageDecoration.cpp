#include "ui/pages/PageDecoration.h"

void PlacePageOverlays(HWND dialog, const PageOverlay* overlays, size_t count) noexcept {
    if (!dialog || !overlays) return;
    for (size_t i = 0; i < count; ++i) {
        const HWND area = ::GetDlgItem(dialog, static_cast<int>(overlays[i].area));
        const HWND cover = ::GetDlgItem(dialog, static_cast<int>(overlays[i].overlay));
        RECT rect{};
        if (!area || !cover || !::GetWindowRect(area, &rect)) continue;
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        ::MoveWindow(cover, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
        ::InvalidateRect(cover, nullptr, TRUE);
    }
}

bool FindAreaColor(const PageAreaColor* colors, size_t count, UINT controlId, COLORREF& color) noexcept {
    for (size_t i = 0; colors && i < count; ++i) {
        if (controlId >= colors[i].first && controlId <= colors[i].last) {
            color = colors[i].color;
            return true;
        }
    }
    return false;
}
