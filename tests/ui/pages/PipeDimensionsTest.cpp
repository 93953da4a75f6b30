// The mass flow page's dimension arithmetic: the equal-area duct and back, and the unit coupling.
#include "ui/pages/PipeDimensions.h"

#include <gtest/gtest.h>

using namespace massflow;

TEST(PipeDimensions, DuctOfDiameterHundredAndBack) {
    const float side = DuctSideFromDiameter(100.0f);
    EXPECT_FLOAT_EQ(side, 88.62266f);
    EXPECT_EQ(DiameterFromDuct(side, side), 100.0f);
}

TEST(PipeDimensions, SizeUnitFollowsTheFlowUnitSystem) {
    struct Case {
        unsigned short sizeUnit, flowUnit, expected;
    };
    const Case cases[] = {{1013, 1332, 1019}, {1013, 1333, 1019}, {1019, 1324, 1013}, {1013, 1323, 0},
                          {1019, 1330, 0},    {1013, 1999, 0},    {1019, 1999, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(SizeUnitForFlowUnit(c.sizeUnit, c.flowUnit), c.expected) << c.sizeUnit << " " << c.flowUnit;
    }
}

// mm to inch divides by exactly 25.4, and the way back restores the stored sizes (a rounded factor grew
// the diameter on every round trip).
TEST(PipeDimensions, MillimetreInchRoundTripRestoresTheSizes) {
    for (float mm : {100.0f, 88.62266f, 50.8f, 12.5f, 250.0f}) {
        const float inch = ConvertSize(mm, kSizeUnitInch);
        EXPECT_FLOAT_EQ(inch, static_cast<float>(mm / 25.4));
        EXPECT_EQ(ConvertSize(inch, kSizeUnitMillimetre), mm) << mm;
    }
}
