#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "fmc/fmc_state.h"
#include "fmc/guidance.h"

namespace {

TEST(SolveHeading, SmallErrorIsAmplifiedByOneAndAHalf) {
    const HeadingSolution s = SolveHeading(90.0, 100.0, 0.0);
    EXPECT_DOUBLE_EQ(s.error, 10.0);
    EXPECT_EQ(s.limited, ErrorLimit::None);
    EXPECT_DOUBLE_EQ(s.heading, 115.0);
}

TEST(SolveHeading, LargeErrorsAreLimitedToThirtyDegrees) {
    const HeadingSolution minus = SolveHeading(90.0, 50.0, 0.0);
    EXPECT_DOUBLE_EQ(minus.error, -30.0);
    EXPECT_EQ(minus.limited, ErrorLimit::Minus);
    EXPECT_DOUBLE_EQ(minus.heading, 5.0);

    const HeadingSolution plus = SolveHeading(90.0, 150.0, 0.0);
    EXPECT_DOUBLE_EQ(plus.error, 30.0);
    EXPECT_EQ(plus.limited, ErrorLimit::Plus);
    EXPECT_DOUBLE_EQ(plus.heading, 195.0);

    // Exactly 30 is within the limit.
    EXPECT_EQ(SolveHeading(90.0, 120.0, 0.0).limited, ErrorLimit::None);
}

TEST(SolveHeading, PointStraightBehindTurnsRight) {
    // -180 is taken as +180 before the limit, so the error becomes +30.
    const HeadingSolution s = SolveHeading(180.0, 0.0, 0.0);
    EXPECT_EQ(s.limited, ErrorLimit::Plus);
    EXPECT_DOUBLE_EQ(s.error, 30.0);
    EXPECT_DOUBLE_EQ(s.heading, 45.0);
}

TEST(SolveHeading, VariationIsSubtractedAndTheResultFoldedOnce) {
    // True 5, variation 10: magnetic -5 becomes 355.
    EXPECT_DOUBLE_EQ(SolveHeading(5.0, 5.0, 10.0).heading, 355.0);
    // 350 + 1.5 x 20 = 380 becomes 20.
    EXPECT_DOUBLE_EQ(SolveHeading(330.0, 350.0, 0.0).heading, 20.0);
    // Westerly variation adds.
    EXPECT_DOUBLE_EQ(SolveHeading(90.0, 90.0, -7.0).heading, 97.0);
}

TEST(CutToVerticalStep, CutsTowardZeroAndMarksTheSign) {
    EXPECT_DOUBLE_EQ(CutToVerticalStep(1234.5), 1200.0001);
    EXPECT_DOUBLE_EQ(CutToVerticalStep(-1799.0), -1700.0001);
    EXPECT_DOUBLE_EQ(CutToVerticalStep(1800.0), 1800.0001);
    EXPECT_DOUBLE_EQ(CutToVerticalStep(200.0001), 200.0001);
    EXPECT_DOUBLE_EQ(CutToVerticalStep(0.0), 0.0);
    EXPECT_DOUBLE_EQ(CutToVerticalStep(99.9), 0.0);
    EXPECT_DOUBLE_EQ(CutToVerticalStep(-50.0), 0.0);
}

TEST(PlannedVerticalSpeed, LimitedAndSignedByTheAltitudeError) {
    EXPECT_DOUBLE_EQ(PlannedVerticalSpeed(2500, -1000.0), -1800.0001);
    EXPECT_DOUBLE_EQ(PlannedVerticalSpeed(2500, 1000.0), 1800.0001);
    EXPECT_DOUBLE_EQ(PlannedVerticalSpeed(750, 0.0), 700.0001);  // no error: climb sign kept
    EXPECT_DOUBLE_EQ(PlannedVerticalSpeed(1050, -10.0), -1000.0001);
}

TEST(ComputedVerticalSpeed, FullRateWhenTwoMinutesOrLessRemain) {
    EXPECT_DOUBLE_EQ(ComputedVerticalSpeed(3000.0, 2.0, 0.0), 1800.0);
    EXPECT_DOUBLE_EQ(ComputedVerticalSpeed(3000.0, 0.5, -400.0), 1800.0);
    EXPECT_DOUBLE_EQ(ComputedVerticalSpeed(-3000.0, 2.0, 0.0), -1800.0);
}

TEST(ComputedVerticalSpeed, RampsTowardTheRequiredRateByTwoHundred) {
    // e = 3000 ft, 6 min to go: 700 ft/min required, reached in four steps.
    double last = 0.0;
    const double expected[] = {200.0001, 400.0001, 600.0001, 700.0001, 700.0001};
    for (const double want : expected) {
        last = CutToVerticalStep(ComputedVerticalSpeed(3000.0, 6.0, last));
        EXPECT_DOUBLE_EQ(last, want);
    }
}

TEST(ComputedVerticalSpeed, SameSignDecreaseIsAlsoRamped) {
    // Required 100 while flying 700: down by 200 only.
    const double r = ComputedVerticalSpeed(1000.0 / 1.4, 10.0, 700.0001);
    EXPECT_NEAR(r, 500.0001, 1e-9);
    // A required rate of 0 is no reversal either.
    EXPECT_NEAR(ComputedVerticalSpeed(0.0, 10.0, -700.0001), -500.0001, 1e-9);
}

TEST(ComputedVerticalSpeed, ReversalIsFlownAtOnce) {
    // Required -980 (e = -2800, t = 4) while climbing at 700: no 200 limit.
    const double v = ComputedVerticalSpeed(-2800.0, 4.0, 700.0001);
    EXPECT_NEAR(v, -980.0, 1e-6);
    EXPECT_DOUBLE_EQ(CutToVerticalStep(v), -900.0001);
}

TEST(ComputedVerticalSpeed, NeverBeyondEighteenHundred) {
    EXPECT_DOUBLE_EQ(ComputedVerticalSpeed(30000.0, 3.0, 1700.0001), 1800.0);
    EXPECT_DOUBLE_EQ(ComputedVerticalSpeed(-30000.0, 3.0, 700.0), -1800.0);
}

TEST(TruncateToInt, TowardZeroAndSafeOutsideTheRange) {
    EXPECT_EQ(TruncateToInt(359.6), 359);
    EXPECT_EQ(TruncateToInt(359.6), TruncateToInt(359.2));
    EXPECT_EQ(TruncateToInt(-5.9), -5);
    EXPECT_EQ(TruncateToInt(100.9), 100);
    EXPECT_EQ(TruncateToInt(1e12), INT32_MIN);
    EXPECT_EQ(TruncateToInt(std::numeric_limits<double>::quiet_NaN()), INT32_MIN);
}

TEST(ValidPointCount, KeepsWithinTheRecord) {
    FlightPlan plan{};
    plan.pointCount = 3;
    EXPECT_EQ(ValidPointCount(plan), 3);
    plan.pointCount = 15;
    EXPECT_EQ(ValidPointCount(plan), 15);
    plan.pointCount = 16;
    EXPECT_EQ(ValidPointCount(plan), 15);
    plan.pointCount = 1000000;
    EXPECT_EQ(ValidPointCount(plan), 15);
    plan.pointCount = -4;
    EXPECT_EQ(ValidPointCount(plan), 0);
}

}  // namespace
