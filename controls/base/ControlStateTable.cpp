#include "controls/base/ControlStateTable.h"

#include <iterator>

#include "classlib/HResult.h"
#include "controls/base/ParameterMapEntry.h"

namespace {

struct DefaultEntry {
    ULONG state;
    const wchar_t* marker;
    COLORREF text;
    COLORREF background;
    COLORREF markerText;
};

constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kBlue = 0xFF0000;

constexpr DefaultEntry kDefaultEntries[] = {
    {0, L"", kTokenWindowText, kTokenButtonFace, kTokenGrayText},
    {4, L"", kTokenWindowText, kTokenButtonFace, kTokenGrayText},
    {2, L"", kTokenWindowText, kTokenButtonFace, kTokenGrayText},
    {6, L"", kTokenWindowText, kTokenButtonFace, kTokenGrayText},
    {1, L"", kTokenWindowText, kTokenWindow, kTokenWindowText},
    {5, L"!", kRed, kTokenWindow, kRed},
    {3, L"*", kBlue, kTokenWindow, kBlue},
    {7, L"!", kRed, kTokenWindow, kRed},
};

// Backgrounds of the writable entries 4 to 7 on the online parameter pages.
constexpr COLORREF kOnlinePageBackgrounds[] = {kTokenWindow, 0xDDDDFF, 0x00FFFF, 0xDDDDFF};
constexpr size_t kFirstWritableEntry = 4;

}  // namespace

HRESULT ControlStateTable::FillDefault() noexcept {
    size_t i = 0;
    for (const DefaultEntry& entry : kDefaultEntries) {
        stateValues[i] = entry.state;
        QL_RETURN_IF_FAILED(markerTexts[i].Assign(entry.marker));
        textColors[i] = entry.text;
        backgroundColors[i] = entry.background;
        markerTextColors[i] = entry.markerText;
        ++i;
    }
    count = static_cast<ULONG>(i);
    return S_OK;
}

HRESULT ControlStateTable::FillOnlinePage() noexcept {
    QL_RETURN_IF_FAILED(FillDefault());
    for (size_t i = 0; i < std::size(kOnlinePageBackgrounds); ++i) {
        backgroundColors[kFirstWritableEntry + i] = kOnlinePageBackgrounds[i];
    }
    return S_OK;
}

int ControlStateTable::Find(ULONG rowState) const noexcept {
    const ULONG wanted = rowState & (kRowWritable | kRowModified | kRowInvalid);
    for (ULONG i = 0; i < count && i < kCapacity; ++i) {
        if (stateValues[i] == wanted) return static_cast<int>(i);
    }
    return -1;
}

COLORREF ResolveColorToken(COLORREF color, ULONG controlFlags) noexcept {
    if (color == kTokenWindowText) {
        if (controlFlags & kControlProgressBar) return ::GetSysColor(COLOR_HIGHLIGHT);
        if (controlFlags & kControlButtonText) return ::GetSysColor(COLOR_BTNTEXT);
        return ::GetSysColor(COLOR_WINDOWTEXT);
    }
    if (color == kTokenGrayText) return ::GetSysColor(COLOR_GRAYTEXT);
    if (color == kTokenWindow) {
        return ::GetSysColor((controlFlags & kControlButtonFace) ? COLOR_BTNFACE : COLOR_WINDOW);
    }
    if (color == kTokenButtonFace) return ::GetSysColor(COLOR_BTNFACE);
    return color;
}
