#pragma once
// The key values of the "Varnok Thermal Mass Flowmeter" as a frame shows them: the device's tag, the mass
// flow and the totalizer with their PA status and unit, read from the DTM's dataset through the toolkit's
// store interfaces (IQuelkVariablesEx, IQuelkVariableFields). The DTM supplies the values and the texts of
// its enumerations (units, status); the frame only decodes the PA octets, with the simulator's codec.
#include <windows.h>

#include <string>

#include "classlib/Variant.h"
#include "values/DtmVocabulary.h"

// Parameters of the DTM's dataset the demo reads and writes.
constexpr ULONG kDeviceTagParameter = 17;     // "Physical Block - Tag", 32 octets of text
constexpr ULONG kMassFlowParameter = 46;      // "Transducer Block - MassFlow", value and status
constexpr ULONG kMassFlowUnitParameter = 47;  // "Transducer Block - MassFlowUnit"
constexpr ULONG kTotalizerParameter = 93;     // "AI Function Block (Totalizer) - Totalizer"
constexpr ULONG kTotalizerUnitParameter = 94;

// A PA value with status: the number, the status byte and the texts the DTM gives them.
struct PaReading {
    bool valid = false;  // five octets were there to decode
    double value = 0;
    BYTE status = 0;
    std::wstring statusText;  // the DTM's text of the status byte, empty when it has none
    std::wstring unit;        // the DTM's text of the unit code
};

struct DeviceKeyValues {
    std::wstring tag;  // the octets as text, trailing blanks removed
    PaReading massFlow;
    PaReading totalizer;
};

// Reads the key values from the DTM's dataset.
HRESULT ReadDeviceKeyValues(IUnknown* dtm, DeviceKeyValues* values) noexcept;
// The value of the device's tag parameter for `text` (ASCII): 32 octets, padded with blanks.
HRESULT MakeDeviceTagValue(const std::wstring& text, ql::Variant& value) noexcept;
// The device's tag in the DTM's dataset, as text.
HRESULT ReadDeviceTag(IUnknown* dtm, std::wstring* tag) noexcept;
