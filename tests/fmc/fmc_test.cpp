// The FMC's arithmetic and its cycle (resets, plan changes, approach mode)
// against the fake link in fmc_fake_link.cpp.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "fmc/fmc_cycle.h"
#include "fmc/fmc_state.h"
#include "fmc/geometry.h"
#include "fmc/guidance.h"
#include "fmc/radios.h"
#include "tests/fmc/fmc_test_support.h"
#include "tests/support/portable.h"

extern "C" const char* __tsan_default_options() { return "halt_on_error=1"; }

namespace {

using fmctest::Confirm;
using fmctest::FmcTest;
using fmctest::Int;
using fmctest::kStartMs;
using fmctest::Logged;
using fmctest::MakePlan;
using fmctest::MakePoint;
using fmctest::Real;

TEST(Geometry, ReferenceValues) {
    // The short pi in the degree conversions makes bearings a hair large.
    const double cases[][2] = {
        {InitialBearing(0, 0, 0, 1), 90.000076},  {InitialBearing(0, 1, 0, 0), 269.999924},
        {InitialBearing(0, 0, -1, 0), 180.000152}, {InitialBearing(51.5, -0.1, 51.5, -0.1), 0},
        {GreatCircleDistance(0, 0, 1, 0), 59.99995}, {GreatCircleDistance(47, 8, 47, 8), 0},
        {NormalizeHeading(720), 360},  {NormalizeHeading(-30), 330}, {NormalizeHeading(725), 5},
        {BearingDifference(350, 10), 20},  {BearingDifference(10, 350), -20},
        {BearingDifference(90, 270), -180}, {BearingDifference(270, 90), 180},
        {BearingDifference(0, 180), 180},   {BearingDifference(180, 0), -180},
        {BearingDifference(90, 200), 110},  {BearingDifference(200, 90), -110},
    };
    for (const auto& [got, want] : cases) EXPECT_NEAR(got, want, 1e-5);
}

TEST(GeometryDeathTest, NotANumberIsFatalStop2233) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EXIT(BearingDifference(nan, 10.0), ::testing::ExitedWithCode(testsupport::SeenExitCode(2233)), "");
}

TEST(Arithmetic, BcdHeadingAndVerticalSpeed) {
    const std::int32_t bcd[][2] = {{11390, 0x1390}, {9999, 0x9999}, {12345, 0x2345},
                                   {7, 7},          {0, 0},         {-11390, 0}};
    for (const auto& c : bcd) EXPECT_EQ(BinToBCD(c[0]), c[1]) << c[0];

    struct { double reference, actual, variation, heading; ErrorLimit limit; } headings[] = {
        {90, 100, 0, 115, ErrorLimit::None},
        {90, 50, 0, 5, ErrorLimit::Minus},
        {5, 5, 10, 355, ErrorLimit::None},  // variation subtracted, folded once
        {180, 0, 0, 45, ErrorLimit::Plus},  // straight behind: turn right
    };
    for (const auto& c : headings) {
        const HeadingSolution s = SolveHeading(c.reference, c.actual, c.variation);
        EXPECT_DOUBLE_EQ(s.heading, c.heading);
        EXPECT_EQ(s.limited, c.limit);
    }

    EXPECT_DOUBLE_EQ(PlannedVerticalSpeed(2500, -1000.0), -1800.0001);  // limited, downward
    EXPECT_DOUBLE_EQ(CutToVerticalStep(ComputedVerticalSpeed(3000, 2.0, 0)), 1800.0001);
    // Required -980 while climbing at 700: the reversal is flown at once.
    EXPECT_DOUBLE_EQ(CutToVerticalStep(ComputedVerticalSpeed(-2800, 4.0, 700.0001)), -900.0001);
}

Strings ResetSets(std::int32_t activePoint) {
    return {Int(178, 0), Int(211, 0), Int(217, 0), Int(218, 0), Int(219, 0),
            Int(220, 0), Int(179, 0), Int(216, 0), Int(222, activePoint)};
}

Strings operator+(Strings a, const Strings& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Points 10.. degrees north of the aircraft at 0,0: nothing is sequenced.
FlightPlan FarPlan(std::int32_t serial, int points) {
    FlightPlan plan = MakePlan(serial, std::vector<FlightPoint>(points, MakePoint(0, 10)));
    for (int i = 0; i < points; ++i) plan.points[i].latitude = 10.0 + i;
    return plan;
}

using Cycle = FmcTest;

TEST_F(Cycle, MasterResetOrderPausesAndActivePoint) {
    for (const std::int32_t count : {0, 3, -2, 40}) {
        fake::sets.clear();
        fmcState.plan = FarPlan(1, 15);
        fmcState.plan.pointCount = count;
        const std::int64_t start = fake::nowMs;
        MasterReset();
        EXPECT_EQ(fake::Texts(), ResetSets(count > 0 ? 0 : -1)) << count;
        for (std::size_t i = 0; i < fake::sets.size(); ++i) {
            EXPECT_EQ(fake::sets[i].atMs, start + 200 * static_cast<std::int64_t>(i));
        }
    }
}

TEST_F(Cycle, NewPlanResetsThenActivatesPointZero) {
    FlightPlan plan = FarPlan(7, 3);
    plan.points[0].altitude = 8000;
    plan.points[0].speed = 250;
    plan.points[0].nav1Frequency = 11390;
    fake::PublishPlan(plan);
    FmcCycle();
    const double course = InitialBearing(0, 0, 10, 10);
    // Two tunings by the activation, the targets, the third tuning by guidance.
    EXPECT_EQ(fake::Texts(),
              ResetSets(0) + Strings({Real(214, 250), Real(215, 8000), Real(213, 10), Real(212, 10),
                                      Int(216, 1), Real(221, course), Int(222, 0),
                                      Int(126, 0x1390), Int(126, 0x1390), Confirm(124, 250),
                                      Confirm(123, 8000), Int(126, 0x1390)}));
    EXPECT_EQ(fake::sets.front().atMs, kStartMs + 1000);
    fake::sets.clear();
    FmcCycle();  // the same plan again
    EXPECT_TRUE(fake::sets.empty());
    fake::PublishPlan(MakePlan(8, {}));  // a new plan without points
    FmcCycle();
    EXPECT_EQ(fake::Texts(), ResetSets(-1));
}

TEST_F(Cycle, ResetRequestWithNewPlanResetsTwiceThenActivates) {
    fake::Report(178, 1);
    fake::PublishPlan(FarPlan(5, 3));
    FmcCycle();
    const Strings sets = fake::Texts();
    ASSERT_GE(sets.size(), 25u);
    EXPECT_EQ(Strings(sets.begin(), sets.begin() + 18), ResetSets(0) + ResetSets(0));
    EXPECT_EQ(sets[20], Real(213, 10));
    EXPECT_EQ(sets[24], Int(222, 0));
}

TEST_F(Cycle, PlanCopyRefusesAWrongLength) {
    fake::PublishPlan(FarPlan(9, 2));
    FlightPlan dest{};
    EXPECT_FALSE(GetFlightPlanCopy(&dest, kFlightPlanSize - 1));
    EXPECT_EQ(dest.serial, 0);
    EXPECT_TRUE(Logged("GetFlightPlanCopy() - Invalid size"));
}

TEST_F(Cycle, PointCountAboveFifteenIsReadAsFifteen) {
    FlightPlan plan = FarPlan(4, 15);
    plan.pointCount = 40;
    fake::PublishPlan(plan);
    FmcCycle();
    fake::Report(11, plan.points[14].latitude);  // at the fifteenth point: end of plan
    fake::Report(12, plan.points[14].longitude);
    FmcCycle();
    EXPECT_TRUE(Logged("ProcessFlightPlan() - End of flight plan encountered"));
    EXPECT_EQ(fake::values.at(222), -1);
}

TEST_F(Cycle, ApproachModeChangeDropsNavigationEachWay) {
    fake::Report(111, 1);
    ProcessApproachMode();  // first call only remembers the mode
    ProcessApproachMode();
    EXPECT_TRUE(fake::sets.empty());
    const Strings dropOut{Int(123, 4321), Int(219, 0), Int(217, 0), Int(220, 0),
                          Int(218, 0),    Int(216, 0), Int(222, -1)};
    fake::Report(54, 4321.9);
    fake::Report(111, 0);
    ProcessApproachMode();
    EXPECT_EQ(fake::Texts(), dropOut);
    fake::sets.clear();
    fake::Report(111, 1);
    ProcessApproachMode();
    EXPECT_EQ(fake::Texts(), dropOut);
}

}  // namespace

// The log is written to the working directory: a temporary one.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const std::string dir = testsupport::MakeTempDir("orv_fmc_test_");
    if (dir.empty() || !testsupport::ChangeDir(dir)) return std::perror("temporary directory"), 1;
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return result;
}
