#pragma once
// CQuelkTooltips: one tooltip window per dialog item, created on first use and updated in place afterwards.
// A tooltip is a popup: its owner is the dialog's top-level window, not the item, so it would outlive the
// dialog (and keep its hold on the item it subclassed) until the top-level window goes. The map owns the
// tooltips; Clear destroys them while their items still live, when the dialog goes.
// Used on the dialog's thread.
#include <windows.h>

#include <map>

#include "classlib/WindowOwner.h"

class CQuelkTooltips {
public:
    // Adds the tooltip `text` (ANSI) to `item`, or updates the one it has. S_OK; E_FAIL when the tooltip
    // window cannot be created; S_FALSE for a null item.
    HRESULT Set(HWND item, const char* text) noexcept;
    // The tooltip window of `item`, null when it has none.
    HWND TooltipOf(HWND item) const noexcept;
    // Destroys every tooltip window (the dialog is going).
    void Clear() noexcept { tooltips_.clear(); }

private:
    std::map<HWND, ql::WindowOwner> tooltips_;
};
