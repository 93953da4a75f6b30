#include "ui/pages/PipeDimensions.h"

#include <cmath>

namespace massflow {
namespace {
constexpr double kPi = 3.14159;
constexpr double kMillimetresPerInch = 25.4;
}  // namespace

float DuctSideFromDiameter(float diameter) noexcept {
    const double radius = static_cast<double>(diameter) * 0.5;
    return static_cast<float>(std::sqrt(radius * radius * kPi));
}

float DiameterFromDuct(float width, float length) noexcept {
    return static_cast<float>(2.0 *
                              std::sqrt(static_cast<double>(width) * static_cast<double>(length) / kPi));
}

bool IsMetricFlowUnit(unsigned short flowUnit) noexcept { return flowUnit >= 1322 && flowUnit <= 1324; }

bool IsImperialFlowUnit(unsigned short flowUnit) noexcept { return flowUnit >= 1330 && flowUnit <= 1333; }

unsigned short SizeUnitForFlowUnit(unsigned short sizeUnit, unsigned short newFlowUnit) noexcept {
    if (sizeUnit == kSizeUnitMillimetre && IsImperialFlowUnit(newFlowUnit)) return kSizeUnitInch;
    if (sizeUnit == kSizeUnitInch && IsMetricFlowUnit(newFlowUnit)) return kSizeUnitMillimetre;
    return 0;
}

float ConvertSize(float size, unsigned short targetUnit) noexcept {
    const double factor = targetUnit == kSizeUnitInch ? 1.0 / kMillimetresPerInch : kMillimetresPerInch;
    return static_cast<float>(static_cast<double>(size) * factor);
}

}  // namespace massflow
