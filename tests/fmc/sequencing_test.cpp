// Which point is active, end of plan, and what an activation publishes.
#include <gtest/gtest.h>

#include "fmc/fmc_state.h"
#include "fmc/sequencing.h"
#include "tests/fmc/fmc_fixture.h"

namespace {

// Points one tenth of a degree of longitude apart on the equator (about
// 6 nm), so that the aircraft is within 3.6 nm of at most one or two.
constexpr double kSpacing = 0.1;

class SequencingTest : public FmcTest {
protected:
    void SetUp() override {
        FmcTest::SetUp();
        std::vector<FlightPoint> points;
        for (int i = 0; i < 4; ++i) {
            points.push_back(MakePoint(0.0, kSpacing * i, 0.0f, 0.0f, 10.0f * (i + 1)));
        }
        LoadPlanCopy(MakePlan(1, points));
    }
    void PlaceAircraft(double latitude, double longitude) {
        fakelink::Report(11, latitude);
        fakelink::Report(12, longitude);
    }
    void Follow(std::int32_t active) {
        fakelink::Report(222, active);
        fakelink::Report(216, 1);
    }
    // Two calls: sequencing runs on every other one.
    void Sequence() {
        ProcessFlightPlan();
        ProcessFlightPlan();
    }
};

TEST_F(SequencingTest, RunsOnEveryOtherCallOnly) {
    Follow(0);
    PlaceAircraft(0.0, 0.0);
    ProcessFlightPlan();
    EXPECT_TRUE(SetList().empty());
    EXPECT_FALSE(Logged("ProcessFlightPlan() - begin"));
    ProcessFlightPlan();
    EXPECT_TRUE(Logged("ProcessFlightPlan() - begin"));
    EXPECT_EQ(fakelink::Value(222), 1);
}

TEST_F(SequencingTest, PassingNearPointKActivatesKPlusOneWithTheLegCourse) {
    Follow(0);
    PlaceAircraft(0.0, 0.01);  // under a nautical mile past point 0
    Sequence();
    EXPECT_TRUE(Logged("Point: 0 found in FP"));
    const std::vector<std::string> sets = SetList();
    ASSERT_GE(sets.size(), 7u);
    EXPECT_EQ(sets[2], RealSet(213, 0.0));
    EXPECT_EQ(sets[3], RealSet(212, kSpacing));
    EXPECT_EQ(sets[4], IntSet(216, 1));
    EXPECT_EQ(sets[5], RealSet(221, 10.0));  // course of point 0
    EXPECT_EQ(sets[6], IntSet(222, 1));
}

TEST_F(SequencingTest, NothingWithinTheRadiusChangesNothing) {
    Follow(1);
    PlaceAircraft(1.0, 0.0);
    Sequence();
    EXPECT_TRUE(SetList().empty());
    EXPECT_TRUE(Logged("ProcessFlightPlan() - No point found, returning"));
}

TEST_F(SequencingTest, RadiusIsStrict) {
    Follow(1);
    // 3.6 nm north of point 2 and farther from every other point.
    const double degreesPerNm = 1.0 / (60.0 * 3.14159 / 3.14159265);
    PlaceAircraft(3.6 * degreesPerNm + 1e-9, 2 * kSpacing);
    Sequence();
    EXPECT_TRUE(SetList().empty());
    PlaceAircraft(3.59 * degreesPerNm, 2 * kSpacing);
    Sequence();
    EXPECT_EQ(fakelink::Value(222), 3);
}

TEST_F(SequencingTest, TwoPointsInsideTheRadiusTheLowerWins) {
    Follow(0);
    PlaceAircraft(0.0, kSpacing / 2);  // 3 nm from points 0 and 1
    Sequence();
    EXPECT_EQ(fakelink::Value(222), 1);
    EXPECT_DOUBLE_EQ(fakelink::Value(221), 10.0);

    // Point 1 is already active while point 0 is still near.
    fakelink::ClearSets();
    Sequence();
    EXPECT_TRUE(SetList().empty());
    EXPECT_TRUE(Logged("ProcessFlightPlan() - point previously processed, returning"));

    // Point 0 left behind, point 1 near: point 2 becomes active.
    PlaceAircraft(0.0, kSpacing * 1.2);
    Sequence();
    EXPECT_EQ(fakelink::Value(222), 2);
    EXPECT_DOUBLE_EQ(fakelink::Value(221), 20.0);
}

TEST_F(SequencingTest, PlanNoLongerFollowedIsActivatedAgain) {
    // Point 1 shown active but variable 216 cleared: the search re-activates it.
    fakelink::Report(222, 1);
    fakelink::Report(216, 0);
    PlaceAircraft(0.0, 0.0);
    Sequence();
    EXPECT_EQ(fakelink::Value(216), 1);
    EXPECT_EQ(SetList()[6], IntSet(222, 1));
}

TEST_F(SequencingTest, LastPointEndsThePlanOnce) {
    Follow(3);
    fakelink::Report(217, 1);
    fakelink::Report(219, 1);
    PlaceAircraft(0.0, 3 * kSpacing);
    Sequence();
    EXPECT_EQ(SetList(), (std::vector<std::string>{IntSet(216, 0), IntSet(219, 0), IntSet(217, 0),
                                                    IntSet(220, 0), IntSet(218, 0),
                                                    IntSet(222, -1)}));
    EXPECT_EQ(fakelink::NowMs(), kStartMs);  // no pauses
    EXPECT_TRUE(Logged("ProcessFlightPlan() - End of flight plan encountered"));

    fakelink::ClearSets();
    Sequence();
    EXPECT_TRUE(SetList().empty());
    EXPECT_TRUE(Logged("ProcessFlightPlan() - negative index, returning"));
}

TEST_F(SequencingTest, ActivePointOutsideThePlanIsNoActivePoint) {
    PlaceAircraft(0.0, 0.0);
    for (const std::int32_t active : {-1, -7, 4, 15, 99}) {
        fakelink::Report(222, active);
        Sequence();
        EXPECT_TRUE(SetList().empty()) << active;
    }
    EXPECT_TRUE(Logged("ProcessFlightPlan() - negative index, returning"));
}

class ActivationTest : public SequencingTest {};

TEST_F(ActivationTest, PublishesThePointThenCoursesRadiosAndTargets) {
    FlightPoint& p = fmcState.plan.points[2];
    p.speed = 250.5f;
    p.altitude = 9000.0f;
    p.nav1Course = 90;
    p.nav2Course = 270;
    p.nav1Frequency = 11390;
    fakelink::Report(67, 89.99995);  // reads as 90: left alone
    fakelink::Report(68, 45.0);
    ActivateFlightPoint(2, 123.25);
    EXPECT_EQ(SetList(),
              (std::vector<std::string>{
                  RealSet(214, 250.5), RealSet(215, 9000.0), RealSet(213, 0.0),
                  RealSet(212, 2 * kSpacing), IntSet(216, 1), RealSet(221, 123.25), IntSet(222, 2),
                  ConfirmSet(119, 270), IntSet(126, 0x1390), IntSet(126, 0x1390),
                  ConfirmSet(124, 250), ConfirmSet(123, 9000)}));
    EXPECT_EQ(fmcState.radioTuneCount, 2);
    // The publication has no pauses; each target one.
    EXPECT_EQ(fakelink::Sets()[11].atMs, kStartMs + 200);
    EXPECT_EQ(fakelink::NowMs(), kStartMs + 400);
    EXPECT_TRUE(Logged("ActivateFlightPoint() - Index: 2"));
}

TEST_F(ActivationTest, IndexOutsideThePlanSendsNothing) {
    fmcState.radioTuneCount = 3;
    for (const std::int32_t index : {-1, 4, 15, 1000}) ActivateFlightPoint(index, 10.0);
    EXPECT_TRUE(SetList().empty());
    EXPECT_EQ(fmcState.radioTuneCount, 3);
}

TEST_F(ActivationTest, NegativeNavCourseLeavesTheCourseAlone) {
    fmcState.plan.points[1].nav1Course = -1;
    fmcState.plan.points[1].nav2Course = 0;
    fakelink::Report(68, 359.0);
    SetNavCourses(1);
    EXPECT_EQ(SetList(), (std::vector<std::string>{ConfirmSet(119, 0)}));
    EXPECT_EQ(fakelink::NowMs(), kStartMs);
}

TEST_F(ActivationTest, SpeedTargetOnlyAboveOneHundredAndWhenDifferent) {
    FlightPoint& p = fmcState.plan.points[0];
    p.speed = 100.9f;
    ProcessSpeedTarget(0);
    EXPECT_TRUE(SetList().empty());

    p.speed = 250.5f;
    fakelink::Report(17, 250.0);
    ProcessSpeedTarget(0);
    EXPECT_TRUE(SetList().empty());
    fakelink::Report(17, 249.9995);  // the 0.001 makes it 250
    ProcessSpeedTarget(0);
    EXPECT_TRUE(SetList().empty());

    fakelink::Report(17, 180.0);
    ProcessSpeedTarget(0);
    EXPECT_EQ(SetList(), (std::vector<std::string>{ConfirmSet(124, 250)}));
    EXPECT_EQ(fakelink::NowMs(), kStartMs + 200);
}

TEST_F(ActivationTest, AltitudeTargetOnlyWhenMoreThanOneHundredFeetAbove) {
    FlightPoint& p = fmcState.plan.points[0];
    p.altitude = 5000.0f;
    fakelink::Report(49, 4950.0);
    ProcessAltitudeTarget(0);
    EXPECT_TRUE(SetList().empty());

    fakelink::Report(49, 4900.0);  // exactly 100 above
    ProcessAltitudeTarget(0);
    EXPECT_TRUE(SetList().empty());

    fakelink::Report(49, 3000.0);
    fakelink::Report(14, 5000.0);  // already selected
    ProcessAltitudeTarget(0);
    EXPECT_TRUE(SetList().empty());

    fakelink::Report(14, 3000.0);
    ProcessAltitudeTarget(0);
    EXPECT_EQ(SetList(), (std::vector<std::string>{ConfirmSet(123, 5000)}));
    EXPECT_EQ(fakelink::NowMs(), kStartMs + 200);
}

TEST_F(ActivationTest, TargetsOfAPointOutsideThePlanAreNotRead) {
    fakelink::Report(17, 0.0);
    ProcessSpeedTarget(4);
    ProcessAltitudeTarget(-1);
    SetNavCourses(15);
    EXPECT_TRUE(SetList().empty());
}

}  // namespace
