#pragma once
// The display-state table of a control: for each value of (row state & 7) a marker text and the colours
// of the bound control and of its marker window. Colour values whose top byte is 0x10, 0x20, 0x30 or 0x40
// are tokens for system colours chosen per row when the control paints; any other value is a COLORREF.
#include <windows.h>

#include <array>

#include "classlib/Bstr.h"

constexpr COLORREF kTokenWindowText = 0x10000000;  // highlight, button text or window text by the row
constexpr COLORREF kTokenGrayText = 0x209C9C9C;
constexpr COLORREF kTokenWindow = 0x30FFFFFF;  // button face or window by the row
constexpr COLORREF kTokenButtonFace = 0x40A0A0A0;

class ControlStateTable {
public:
    static constexpr size_t kCapacity = 10;

    // The base filling: eight entries, read-only states on button face, writable ones on the window colour,
    // "*" in blue for modified and "!" in red for invalid (invalid wins).
    HRESULT FillDefault() noexcept;
    // The online parameter pages' filling: the base one with light red, yellow and light red backgrounds for
    // writable invalid, writable modified and writable modified invalid.
    HRESULT FillOnlinePage() noexcept;

    // The entry serving `rowState & 7`, first match in entry order; -1 when there is none.
    int Find(ULONG rowState) const noexcept;

    ULONG count = 0;
    std::array<ULONG, kCapacity> stateValues{};
    std::array<ql::Bstr, kCapacity> markerTexts;
    std::array<COLORREF, kCapacity> textColors{};
    std::array<COLORREF, kCapacity> backgroundColors{};
    std::array<COLORREF, kCapacity> markerTextColors{};
};

// The colour a token stands for on a row with `controlFlags`; any other value comes back unchanged.
COLORREF ResolveColorToken(COLORREF color, ULONG controlFlags) noexcept;
