#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "fmc/geometry.h"

namespace {

constexpr double kTight = 1e-6;

TEST(AngleConversion, UsesTheShortPi) {
    EXPECT_DOUBLE_EQ(DegToRad(180.0), 3.14159);
    EXPECT_DOUBLE_EQ(RadToDeg(3.14159), 180.0);
    // True pi in radians comes out a little over 180 degrees.
    EXPECT_NEAR(RadToDeg(std::numbers::pi), 180.000152, kTight);
}

TEST(InitialBearing, CardinalDirectionsComeOutSlightlyLarge) {
    EXPECT_DOUBLE_EQ(InitialBearing(0, 0, 1, 0), 0.0);
    EXPECT_NEAR(InitialBearing(0, 0, 0, 1), 90.000076, kTight);
    EXPECT_NEAR(InitialBearing(0, 1, 0, 0), 269.999924, kTight);
    EXPECT_NEAR(InitialBearing(0, 0, -1, 0), 180.000152, kTight);
}

TEST(InitialBearing, IdenticalPointsGiveZero) {
    EXPECT_DOUBLE_EQ(InitialBearing(51.5, -0.12, 51.5, -0.12), 0.0);
}

TEST(InitialBearing, StaysWithinAFullCircle) {
    for (double lon = -179.0; lon <= 179.0; lon += 7.0) {
        for (double lat = -80.0; lat <= 80.0; lat += 20.0) {
            const double b = InitialBearing(10.0, 20.0, lat, lon);
            EXPECT_GE(b, 0.0) << lat << "," << lon;
            EXPECT_LE(b, 360.0) << lat << "," << lon;
        }
    }
}

TEST(InitialBearing, NorthEastIsAboutFortyFiveAtTheEquator) {
    EXPECT_NEAR(InitialBearing(0, 0, 0.01, 0.01), 45.0, 0.01);
    EXPECT_NEAR(InitialBearing(0, 0, -0.01, -0.01), 225.0, 0.01);
}

TEST(GreatCircleDistance, IdenticalPointsAreZeroApart) {
    EXPECT_DOUBLE_EQ(GreatCircleDistance(47.3, 8.5, 47.3, 8.5), 0.0);
}

TEST(GreatCircleDistance, OneDegreeOfLatitudeIsSixtyMilesWithTheTwoPis) {
    const double expected = 60.0 * 3.14159 / 3.14159265;
    EXPECT_NEAR(GreatCircleDistance(0, 0, 1, 0), expected, 1e-9);
    EXPECT_NEAR(GreatCircleDistance(0, 0, 1, 0), 59.99995, 1e-5);
    EXPECT_NEAR(GreatCircleDistance(40, 10, 41, 10), expected, 1e-9);
}

TEST(GreatCircleDistance, IsSymmetric) {
    EXPECT_DOUBLE_EQ(GreatCircleDistance(10, 20, 11.5, 22.25),
                     GreatCircleDistance(11.5, 22.25, 10, 20));
}

TEST(GreatCircleDistance, LongitudeShrinksWithLatitude) {
    const double atEquator = GreatCircleDistance(0, 0, 0, 1);
    const double atSixty = GreatCircleDistance(60, 0, 60, 1);
    EXPECT_NEAR(atSixty / atEquator, 0.5, 1e-3);
}

TEST(NormalizeHeading, FoldsIntoAClosedCircle) {
    EXPECT_DOUBLE_EQ(NormalizeHeading(720.0), 360.0);
    EXPECT_DOUBLE_EQ(NormalizeHeading(-30.0), 330.0);
    EXPECT_DOUBLE_EQ(NormalizeHeading(725.0), 5.0);
    EXPECT_DOUBLE_EQ(NormalizeHeading(360.0), 360.0);
    EXPECT_DOUBLE_EQ(NormalizeHeading(0.0), 0.0);
    EXPECT_DOUBLE_EQ(NormalizeHeading(-360.0), 0.0);
    EXPECT_DOUBLE_EQ(NormalizeHeading(123.5), 123.5);
}

TEST(NormalizeHeading, HugeAndInfiniteInputsDoNotHang) {
    const double huge = NormalizeHeading(1e300);
    EXPECT_GE(huge, 0.0);
    EXPECT_LE(huge, 360.0);
    EXPECT_TRUE(std::isnan(NormalizeHeading(std::numeric_limits<double>::infinity())));
}

TEST(BearingDifference, SignTellsTheSide) {
    EXPECT_DOUBLE_EQ(BearingDifference(350, 10), 20.0);
    EXPECT_DOUBLE_EQ(BearingDifference(10, 350), -20.0);
    EXPECT_DOUBLE_EQ(BearingDifference(90, 100), 10.0);
    EXPECT_DOUBLE_EQ(BearingDifference(200, 190), -10.0);
}

TEST(BearingDifference, OppositeBearingsGiveTheEndsOfTheRange) {
    EXPECT_DOUBLE_EQ(BearingDifference(90, 270), -180.0);
    EXPECT_DOUBLE_EQ(BearingDifference(270, 90), 180.0);
    EXPECT_DOUBLE_EQ(BearingDifference(0, 180), 180.0);
    EXPECT_DOUBLE_EQ(BearingDifference(180, 0), -180.0);
    EXPECT_DOUBLE_EQ(BearingDifference(180, 180), 0.0);
}

TEST(BearingDifference, InputsOutsideTheCircleAreFoldedFirst) {
    EXPECT_DOUBLE_EQ(BearingDifference(-10, 370), 20.0);
    EXPECT_DOUBLE_EQ(BearingDifference(720, 45), 45.0);
}

TEST(BearingDifference, ResultAlwaysWithinHalfACircle) {
    for (double r = 0; r <= 360; r += 15) {
        for (double a = 0; a <= 360; a += 15) {
            const double d = BearingDifference(r, a);
            EXPECT_GE(d, -180.0) << r << " " << a;
            EXPECT_LE(d, 180.0) << r << " " << a;
        }
    }
}

using BearingDifferenceDeathTest = ::testing::Test;

TEST_F(BearingDifferenceDeathTest, NotANumberStopsTheProgram) {
    // The parent sees only the low 8 bits of the exit code 2233.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EXIT(BearingDifference(nan, 10.0), ::testing::ExitedWithCode(2233 & 0xff), "");
    EXPECT_EXIT(BearingDifference(10.0, nan), ::testing::ExitedWithCode(2233 & 0xff), "");
}

}  // namespace
