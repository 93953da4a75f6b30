#include "ui/views/ViewScroller.h"

#include <algorithm>

#include "classlib/ScrollTarget.h"

namespace {

// The largest position of a bar: never below 0, also when the window is larger than the content.
LONG MaximumPosition(LONG content, LONG size) noexcept { return std::max<LONG>(0, content - size); }

}  // namespace

SIZE CViewScroller::WindowSize(HWND window) noexcept {
    RECT bounds{};
    ::GetWindowRect(window, &bounds);
    return SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top};
}

void CViewScroller::SetScrollBar(HWND window, int bar, LONG content, LONG size, LONG& position) noexcept {
    position = std::min(position, MaximumPosition(content, size));
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = content;
    info.nPage = static_cast<UINT>(std::max<LONG>(0, size + 1));
    info.nPos = position;
    ::SetScrollInfo(window, bar, &info, TRUE);
}

void CViewScroller::UpdateScrollBars(HWND window, SIZE size) noexcept {
    SetScrollBar(window, SB_HORZ, content_.cx, size.cx, position_.x);
    SetScrollBar(window, SB_VERT, content_.cy, size.cy, position_.y);
}

void CViewScroller::ScrollContent(HWND window, SIZE size) noexcept {
    const RECT clip{0, 0, size.cx - 2, size.cy - 2};
    // Without a scroll rectangle the children move with the contents.
    ::ScrollWindow(window, applied_.x - position_.x, applied_.y - position_.y, nullptr, &clip);
    applied_ = position_;
}

void CViewScroller::OnSize(HWND window) noexcept {
    if (!window) return;
    const SIZE size = WindowSize(window);
    UpdateScrollBars(window, size);
    ScrollContent(window, size);
}

void CViewScroller::OnScroll(HWND window, int bar, WORD code, WORD thumb) noexcept {
    if (!window) return;
    const SIZE size = WindowSize(window);
    const bool horizontal = bar == SB_HORZ;
    const LONG page = horizontal ? size.cx : size.cy;
    LONG& position = horizontal ? position_.x : position_.y;
    const LONG content = horizontal ? content_.cx : content_.cy;
    const LONG wanted = ql::ScrollTarget(code, position, thumb, page, content);
    if (wanted == position) return;
    position = wanted;
    ::SetScrollPos(window, bar, position, TRUE);
    ScrollContent(window, size);
}
