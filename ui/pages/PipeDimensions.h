#pragma once
// The pipe and duct dimensions of the mass flow page: the equal-area square duct of a circular pipe and
// back, and the coupling of the nominal-size unit (mm or inch) to the system of the mass flow unit.
// Values are single-precision as the device stores them; the arithmetic runs in double precision.
//
// Threading: free functions without state.

namespace massflow {

constexpr unsigned short kSizeUnitMillimetre = 1013;
constexpr unsigned short kSizeUnitInch = 1019;

// The side of the square with the cross-section of a circle of `diameter` (pi taken as 3.14159, the
// device's own value, so the page and the device agree on the duct).
float DuctSideFromDiameter(float diameter) noexcept;
// The diameter of the circle with the cross-section of a `width` × `length` duct.
float DiameterFromDuct(float width, float length) noexcept;

// kg/s, kg/min, kg/h.
bool IsMetricFlowUnit(unsigned short flowUnit) noexcept;
// lb/s, lb/min, lb/h and 1333.
bool IsImperialFlowUnit(unsigned short flowUnit) noexcept;

// The nominal-size unit a change of the flow unit to `newFlowUnit` calls for when the sizes are in
// `sizeUnit`; 0 when the sizes stay as they are (same system, or a maker-specific flow unit).
unsigned short SizeUnitForFlowUnit(unsigned short sizeUnit, unsigned short newFlowUnit) noexcept;
// `size` converted to `targetUnit` (mm or inch). The factors are exactly 1/25.4 and 25.4: the device
// computes the flow from the diameter, so a rounded factor would drift it on every change of units.
float ConvertSize(float size, unsigned short targetUnit) noexcept;

}  // namespace massflow
