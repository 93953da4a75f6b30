#pragma once
// The trend chart's persisted state, as a dialog's initialisation data hands it over:
//   32-bit 0, 32-bit byte count n, n bytes of NUL-terminated UTF-16 settings text (TrendChartSettings.h),
//   32-bit format version 0x300, then the control's extent in HIMETRIC as two 32-bit numbers.
// All numbers little-endian.
#include <objidl.h>
#include <windows.h>

#include <string>

namespace standins {

struct TrendChartState {
    std::wstring settingsText;  // up to its NUL
    SIZEL extent{0, 0};
};

// Reads the state from `stream`. A stream that ends early, or a byte count that is odd or beyond any
// sensible text, is refused with ERROR_INVALID_DATA.
HRESULT ReadTrendChartState(IStream* stream, TrendChartState& out) noexcept;

// Writes the state to `stream` in the same form (the text with its NUL); a stream that takes fewer bytes
// than it is given fails with STG_E_MEDIUMFULL.
HRESULT WriteTrendChartState(IStream* stream, const TrendChartState& state) noexcept;

}  // namespace standins
