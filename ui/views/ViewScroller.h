#pragma once
// CViewScroller: scrolling of a view whose content (its dialog at its natural size) can be larger than the
// room its host gives it. All sizes and positions are pixels; the window size is that of the view's window
// rectangle. A scroll bar's range is 0 to the content size with a page of the window size plus one, so a
// bar disappears when the window is at least as large as the content; the position never leaves 0 to
// content − window.
//
// Scrolling moves the window's contents (children included) by the difference between the position last
// applied and the new one. Threading: the view's user-interface thread.
#include <windows.h>

class CViewScroller {
public:
    void SetContentSize(SIZE content) noexcept { content_ = content; }

    // WM_SIZE: the bars follow the window's size (the positions clamped), then the contents follow them.
    void OnSize(HWND window) noexcept;
    // WM_HSCROLL (SB_HORZ) or WM_VSCROLL (SB_VERT) with the scroll code and thumb position of wParam.
    void OnScroll(HWND window, int bar, WORD code, WORD thumb) noexcept;

private:
    static SIZE WindowSize(HWND window) noexcept;
    // Clamps `position` to the bar's range and sets range, page and position on the bar.
    static void SetScrollBar(HWND window, int bar, LONG content, LONG size, LONG& position) noexcept;
    void UpdateScrollBars(HWND window, SIZE size) noexcept;
    void ScrollContent(HWND window, SIZE size) noexcept;

    SIZE content_{0, 0};
    POINT position_{0, 0};
    POINT applied_{0, 0};  // the position the contents were last moved to
};
