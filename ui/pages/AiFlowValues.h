#pragma once
// The AI flow block's records as the page edits them: the OUT and PV scales split into the numbers their
// member fields show, joined back from the texts those fields hold, and the numbers formatted with the
// decimal point the OUT scale names.
// Stateless; any thread.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

// The fields of the OUT scale record (EU at 100 %, EU at 0 %, unit code, decimal point).
struct OutScaleFields {
    float valueAt100 = 100.0f;
    float valueAt0 = 0.0f;
    USHORT unitCode = 1133;
    BYTE decimalPoint = 3;
};

// The fields of `record`; the record decoder's defaults for a value that is not an 11-byte array.
OutScaleFields SplitOutScale(const VARIANT& record) noexcept;

// The fields of the PV scale record (EU at 100 %, EU at 0 %; 100.0 and 0.0 for a value shorter than it).
struct PvScaleFields {
    float valueAt100 = 100.0f;
    float valueAt0 = 0.0f;
};

PvScaleFields SplitPvScale(const VARIANT& record) noexcept;

// The fields of the simulation record (status byte, simulated value, enable byte; 0, 0.0, 0 by default).
struct SimulationFields {
    BYTE status = 0;
    float value = 0.0f;
    BYTE enable = 0;
};

SimulationFields SplitSimulation(const VARIANT& record) noexcept;

// The decimal point kept to 0..15: the record's byte allows 255, a float carries no more than that.
int ClampedDecimalPoint(long requested) noexcept;

// `value` in fixed point with `decimals` places (clamped as above), e.g. 12.34567 with 2 gives "12.35".
std::string FormatWithDecimals(double value, long decimals);

// The lenient reading of a typed number: the longest leading decimal number, 0 when there is none.
double LenientNumber(std::string_view text) noexcept;
// The lenient reading of a typed integer: blanks, an optional sign, the digits up to the first other
// character; 0 when there are none.
long LenientInteger(std::string_view text) noexcept;

// The OUT scale record (11 bytes) from the texts of its member fields and the unit code, into `out`.
// E_POINTER for a null `out`; E_INVALIDARG, with `out` untouched, when a limit is not a finite float or the
// decimal point not an integer 0..255: one bad member refuses the whole record rather than writing 0.
HRESULT JoinOutScale(std::string_view valueAt100, std::string_view valueAt0, USHORT unitCode,
                     std::string_view decimalPoint, VARIANT* out) noexcept;

// The PV scale record (8 bytes: EU at 100 %, EU at 0 %) from its member fields' texts; failures as above.
HRESULT JoinPvScale(std::string_view valueAt100, std::string_view valueAt0, VARIANT* out) noexcept;

// The simulation record (6 bytes) from the status and enable codes and the value field's text; failures
// as above.
HRESULT JoinSimulation(BYTE status, std::string_view value, BYTE enable, VARIANT* out) noexcept;

// The value of a value-with-status record (OUT, the totalizer) as the page shows it: five decimals.
std::string ValueWithStatusText(const VARIANT& record);
