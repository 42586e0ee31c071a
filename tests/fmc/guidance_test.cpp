// ProcessGPS with its heading and vertical-speed steps, against the fake link.
#include <gtest/gtest.h>

#include "fmc/fmc_state.h"
#include "fmc/guidance.h"
#include "tests/fmc/fmc_fixture.h"

namespace {

// One degree of longitude on the equator, in the FMC's nautical miles.
constexpr double kNmPerDegree = 60.0 * 3.14159 / 3.14159265;

class GuidanceTest : public FmcTest {
protected:
    void SetUp() override {
        FmcTest::SetUp();
        // Aircraft at 0,0; point 1 due east at 0,1 (bearing 90.000076).
        fakelink::Report(11, 0.0);
        fakelink::Report(12, 0.0);
        LoadPlanCopy(MakePlan(1, {MakePoint(0.0, -1.0, 0.0f, 0.0f, 80.0f),
                                  MakePoint(0.0, 1.0, 0.0f, 0.0f, 0.0f)}));
        fakelink::Report(222, 1);
    }
    void EngageLnav() {
        fakelink::Report(217, 1);
        fakelink::Report(50, 1);
    }
    void EngageVnav() {
        fakelink::Report(219, 1);
        fakelink::Report(170, 1);
        fakelink::Report(25, 1);
    }
    FlightPoint& Point(int i) { return fmcState.plan.points[i]; }
    // Puts the active point `nm` east of the aircraft.
    void PointEastAt(double nm) { Point(1).longitude = nm / kNmPerDegree; }
};

TEST_F(GuidanceTest, NoActivePointDoesNothingAtAll) {
    EngageLnav();
    fmcState.radioTuneCount = 0;
    for (const std::int32_t active : {-1, -3, 2, 15, 40}) {
        fakelink::Report(222, active);
        EXPECT_TRUE(ProcessGPS());
    }
    EXPECT_TRUE(SetList().empty());
    EXPECT_EQ(fmcState.radioTuneCount, 0);
    EXPECT_EQ(fmcState.gpsCycleCount, 0);
    EXPECT_FALSE(Logged("ProcessRadios() - Index: 2"));
}

TEST_F(GuidanceTest, ApproachModeOnlyTunesTheRadios) {
    EngageLnav();
    fakelink::Report(220, 1);
    fakelink::Report(49, 3000.0);
    fakelink::Report(111, 1);
    Point(1).nav1Frequency = 10800;
    fmcState.radioTuneCount = 2;
    ProcessGPS();
    EXPECT_EQ(SetList(), (std::vector<std::string>{IntSet(126, 0x0800)}));
    EXPECT_EQ(fmcState.gpsCycleCount, 0);
}

TEST_F(GuidanceTest, VnavEngagesOnlyAboveFourHundredTwenty) {
    fakelink::Report(220, 1);
    fakelink::Report(49, 420.0);
    ProcessGPS();
    EXPECT_TRUE(SetList().empty());

    fakelink::Report(49, 420.1);
    ProcessGPS();
    EXPECT_EQ(SetList(), (std::vector<std::string>{ConfirmSet(219, 1), ConfirmSet(25, 1)}));
    EXPECT_EQ(fakelink::Sets()[1].atMs, fakelink::Sets()[0].atMs + 400);
}

TEST_F(GuidanceTest, LnavEngagesAfterLiftOff) {
    fakelink::Report(218, 1);
    fakelink::Report(49, 0.0);
    ProcessGPS();
    EXPECT_TRUE(SetList().empty());

    fakelink::Report(49, 52.5);
    AdvanceSeconds(2);
    ProcessGPS();
    const std::vector<std::string> sets = SetList();
    ASSERT_GE(sets.size(), 2u);
    EXPECT_EQ(sets[0], ConfirmSet(217, 1));
    EXPECT_EQ(sets[1], ConfirmSet(50, 1));
    // Now engaged, the heading step steers at once.
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[2], ConfirmSet(122, 105));
}

TEST_F(GuidanceTest, HeadingCloseToTheLegIsAmplified) {
    // Reference 80 (course of point 0), bearing 90.000076: error +10, heading 105.
    EngageLnav();
    ProcessHeading(1);
    EXPECT_EQ(SetList(), (std::vector<std::string>{ConfirmSet(122, 105)}));
    EXPECT_EQ(fakelink::NowMs(), kStartMs + 200);
}

TEST_F(GuidanceTest, LargeHeadingErrorIsLimitedAndLogged) {
    EngageLnav();
    Point(0).course = 150.0f;  // error about -60: limited to -30
    ProcessHeading(1);
    EXPECT_EQ(SetList(), (std::vector<std::string>{ConfirmSet(122, 45)}));
    EXPECT_TRUE(Logged("Bearing error minus excessive"));

    Point(0).course = 30.0f;  // error about +60
    AdvanceSeconds(2);
    ProcessHeading(1);
    EXPECT_EQ(SetList().back(), ConfirmSet(122, 135));
    EXPECT_TRUE(Logged("Bearing error plus excessive"));
}

TEST_F(GuidanceTest, MagneticVariationIsSubtracted) {
    EngageLnav();
    fakelink::Report(35, 10.0);
    ProcessHeading(1);
    EXPECT_EQ(SetList(), (std::vector<std::string>{ConfirmSet(122, 95)}));
}

TEST_F(GuidanceTest, PointZeroUsesTheInitialCourse) {
    EngageLnav();
    fmcState.initialCourse = 280.0;
    Point(0).longitude = -1.0;  // due west: 269.999924, error -10
    ProcessHeading(0);
    EXPECT_EQ(SetList(), (std::vector<std::string>{ConfirmSet(122, 254)}));
}

TEST_F(GuidanceTest, NoCommandWhenTheWholeDegreeIsAlreadySelected) {
    EngageLnav();
    fakelink::Report(15, 105.7);
    ProcessHeading(1);
    EXPECT_TRUE(SetList().empty());
}

TEST_F(GuidanceTest, HeadingAtMostEveryTwoSeconds) {
    EngageLnav();
    ProcessHeading(1);
    ProcessHeading(1);  // 200 ms later: too soon
    EXPECT_EQ(SetList().size(), 1u);
    AdvanceSeconds(1);
    ProcessHeading(1);  // 1.2 s after the first: still in the same 2 s
    EXPECT_EQ(SetList().size(), 1u);
    AdvanceSeconds(1);
    ProcessHeading(1);
    EXPECT_EQ(SetList().size(), 2u);
}

TEST_F(GuidanceTest, HeadingNeedsLnavHeadingHoldAndAValidPoint) {
    fakelink::Report(217, 1);
    ProcessHeading(1);
    fakelink::Report(50, 1);
    fakelink::Report(217, 0);
    AdvanceSeconds(2);
    ProcessHeading(1);
    fakelink::Report(217, 1);
    for (const std::int32_t index : {-1, 2, 15}) {
        AdvanceSeconds(2);
        ProcessHeading(index);
    }
    EXPECT_TRUE(SetList().empty());
}

TEST_F(GuidanceTest, TargetsArePushedFromTheFifthPassWithVnavEngaged) {
    EngageVnav();
    fakelink::Report(14, 3000.0);
    fakelink::Report(54, 3000.0);
    Point(1).speed = 250.0f;
    Point(1).altitude = 9000.0f;
    for (int pass = 1; pass <= 4; ++pass) ProcessGPS();
    EXPECT_TRUE(SetList().empty());
    ProcessGPS();
    EXPECT_EQ(SetList(), (std::vector<std::string>{ConfirmSet(123, 9000), ConfirmSet(124, 250)}));
}

TEST_F(GuidanceTest, PlannedRateIsFlownDownwardWhenBelowTheSelectedAltitude) {
    EngageVnav();
    Point(1).verticalSpeed = 2500;
    fakelink::Report(14, 2000.0);
    fakelink::Report(54, 6000.0);
    fakelink::Report(2, 0.0);  // the planned rate does not need ground speed
    ProcessVerticalSpeed(Point(1));
    EXPECT_EQ(SetList(), (std::vector<std::string>{RealSet(20, -1800.0001)}));
    EXPECT_DOUBLE_EQ(fakelink::Value(20), -1800.0001);
    EXPECT_EQ(fmcState.lastVerticalSpeed, 0.0);
}

TEST_F(GuidanceTest, FullRateWithinTwoMinutesOfThePoint) {
    EngageVnav();
    fakelink::Report(14, 6000.0);
    fakelink::Report(54, 3000.0);
    fakelink::Report(2, 300.0);
    PointEastAt(9.9);  // just under 2 minutes at 300 kt
    ProcessVerticalSpeed(Point(1));
    EXPECT_DOUBLE_EQ(fakelink::Value(20), 1800.0001);
    EXPECT_DOUBLE_EQ(fmcState.lastVerticalSpeed, 1800.0001);
}

TEST_F(GuidanceTest, ComputedRateRampsEveryFourSeconds) {
    EngageVnav();
    fakelink::Report(14, 6000.0);
    fakelink::Report(54, 3000.0);
    fakelink::Report(2, 300.0);
    PointEastAt(29.9);  // just under 6 minutes: about 702 ft/min required
    ProcessVerticalSpeed(Point(1));
    ProcessVerticalSpeed(Point(1));  // too soon: nothing
    for (int i = 0; i < 3; ++i) {
        AdvanceSeconds(4);
        ProcessVerticalSpeed(Point(1));
    }
    EXPECT_EQ(SetList(), (std::vector<std::string>{RealSet(20, 200.0001), RealSet(20, 400.0001),
                                                    RealSet(20, 600.0001), RealSet(20, 700.0001)}));
    EXPECT_DOUBLE_EQ(fakelink::Value(20), 700.0001);

    // The selected altitude now lies below: the reversal is flown at once.
    fakelink::Report(14, 3000.0);
    fakelink::Report(54, 6000.0);
    AdvanceSeconds(4);
    ProcessVerticalSpeed(Point(1));
    EXPECT_DOUBLE_EQ(fakelink::Value(20), -700.0001);
}

TEST_F(GuidanceTest, ReversalToMinusNineHundred) {
    EngageVnav();
    fmcState.lastVerticalSpeed = 700.0001;
    fakelink::Report(14, 0.0);
    fakelink::Report(54, 2800.0);
    fakelink::Report(2, 300.0);
    PointEastAt(20.0);  // 4 minutes: -980 required
    ProcessVerticalSpeed(Point(1));
    EXPECT_DOUBLE_EQ(fakelink::Value(20), -900.0001);
    EXPECT_DOUBLE_EQ(fmcState.lastVerticalSpeed, -900.0001);
}

TEST_F(GuidanceTest, NoComputedRateOnTheGroundOrNearTheAltitude) {
    EngageVnav();
    fakelink::Report(2, 50.0);
    fakelink::Report(14, 6000.0);
    PointEastAt(30.0);
    ProcessVerticalSpeed(Point(1));
    fakelink::Report(2, 300.0);
    fakelink::Report(54, 5500.0);  // 500 ft to go
    AdvanceSeconds(4);
    ProcessVerticalSpeed(Point(1));
    EXPECT_TRUE(SetList().empty());
}

TEST_F(GuidanceTest, VerticalSpeedNeedsVnavAutopilotAndAltitudeHold) {
    fakelink::Report(14, 6000.0);
    fakelink::Report(2, 300.0);
    Point(1).verticalSpeed = 1000;
    for (const std::int32_t off : {219, 170, 25}) {
        EngageVnav();
        fakelink::Report(off, 0);
        AdvanceSeconds(4);
        ProcessVerticalSpeed(Point(1));
    }
    EXPECT_TRUE(SetList().empty());
}

}  // namespace
