#pragma once
// CProgressBar: the frame's progress display (IFrameEvents::NotifyProgress) on a text console: a bar of ten
// steps with the percentage, e.g. "Upload [#####     ]  50 %". A transfer reports every parameter; the bar
// is drawn again only when it gains a step, so a console shows at most eleven lines per transfer.
#include <windows.h>

#include <string>

class CProgressBar {
public:
    // The line to print for one progress event; empty when the bar did not gain a step. Hiding the display
    // (show FALSE) starts the bar again.
    std::wstring Update(const std::wstring& title, LONG percent, bool show);
    // The bar of `title` at `percent` (clamped to 0..100).
    static std::wstring Render(const std::wstring& title, LONG percent);

private:
    LONG shownSteps_ = -1;
};
