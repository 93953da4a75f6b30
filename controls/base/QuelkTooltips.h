#pragma once
// CQuelkTooltips: one tooltip window per dialog item, created on first use and updated in place afterwards.
// The tooltip windows are owned by their dialog items and go with them; the map only remembers them.
// Used on the dialog's thread.
#include <windows.h>

#include <map>

class CQuelkTooltips {
public:
    // Adds the tooltip `text` (ANSI) to `item`, or updates the one it has. S_OK; E_FAIL when the tooltip
    // window cannot be created; S_FALSE for a null item.
    HRESULT Set(HWND item, const char* text) noexcept;
    // The tooltip window of `item`, null when it has none.
    HWND TooltipOf(HWND item) const noexcept;

private:
    std::map<HWND, HWND> tooltips_;
};
