// The FMC's sequencing, guidance and TO/GA steps against the fake link in
// fmc_fake_link.cpp.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fmc/fmc_state.h"
#include "fmc/geometry.h"
#include "fmc/guidance.h"
#include "fmc/radios.h"
#include "fmc/sequencing.h"
#include "fmc/toga.h"
#include "tests/fmc/fmc_test_support.h"

namespace {

using fmctest::Confirm;
using fmctest::FmcTest;
using fmctest::Int;
using fmctest::Logged;
using fmctest::MakePlan;
using fmctest::MakePoint;
using fmctest::Real;

// Points 0.1 degree (about 6 nm) apart along the equator, courses 10, 20, ...
class Sequencing : public FmcTest {
protected:
    void SetUp() override {
        FmcTest::SetUp();
        fmcState.plan = MakePlan(1, {MakePoint(0, 0, 10), MakePoint(0, 0.1, 20),
                                     MakePoint(0, 0.2, 30), MakePoint(0, 0.3, 40)});
        fake::Report(216, 1);
    }
    void SequenceAt(double longitude) {  // sequencing runs every other call
        fake::Report(12, longitude);
        ProcessFlightPlan();
        ProcessFlightPlan();
    }
};

TEST_F(Sequencing, LowerOfTwoPointsInsideTheRadiusWinsOnce) {
    fake::Report(222, 0);
    SequenceAt(0.05);  // 3 nm from points 0 and 1
    EXPECT_EQ(fake::values.at(222), 1);
    EXPECT_DOUBLE_EQ(fake::values.at(221), 10.0);
    fake::sets.clear();
    SequenceAt(0.05);  // point 1 already active
    EXPECT_TRUE(fake::sets.empty());
}

TEST_F(Sequencing, RadiusIsThreePointSixNauticalMiles) {
    const double nmPerDegree = GreatCircleDistance(0, 0, 0, 1);
    const struct { double nm; bool sequences; } cases[] = {{3.65, false}, {4.0, false}, {5.4, false}, {3.55, true}};
    for (const auto& c : cases) {
        fake::Report(222, 0);
        SequenceAt(-c.nm / nmPerDegree);  // west of point 0, away from the others
        EXPECT_EQ(fake::values.at(222), c.sequences ? 1 : 0) << c.nm;
    }
}

TEST_F(Sequencing, LastPointEndsThePlan) {
    fake::Report(222, 3);
    SequenceAt(0.3);
    EXPECT_EQ(fake::Texts(), (Strings{Int(216, 0), Int(219, 0), Int(217, 0), Int(220, 0),
                                      Int(218, 0), Int(222, -1)}));
}

TEST_F(Sequencing, ActivePointOutsideThePlanIsNone) {
    fake::Report(217, 1);
    fake::Report(50, 1);
    fmcState.radioTuneCount = 0;
    for (const std::int32_t active : {-7, 4, 15, 99}) {
        fake::Report(222, active);
        SequenceAt(0.0);
        ProcessGPS();
        ActivateFlightPoint(active, 0);
    }
    EXPECT_TRUE(fake::sets.empty());
}

TEST_F(Sequencing, RadiosTunedThricePerActivationNegativeSkipped) {
    fmcState.plan.points[2].nav1Frequency = -11390;
    fmcState.plan.points[2].nav2Frequency = 11250;
    fmcState.radioTuneCount = 0;
    for (int i = 0; i < 5; ++i) ProcessRadios(2);
    EXPECT_EQ(fake::Texts(), Strings(3, Int(127, 0x1250)));
}

// Aircraft at 0,0 flying to point 1 due east (90.000076).
class Guidance : public FmcTest {
protected:
    void SetUp() override {
        FmcTest::SetUp();
        fmcState.plan = MakePlan(1, {MakePoint(0, -1, 90.000076f), MakePoint(0, 1)});
        fake::Report(222, 1);
    }
};

TEST_F(Guidance, LnavAbove52FeetVnavAbove420) {
    fake::Report(218, 1);
    fake::Report(220, 1);
    fake::Report(15, 90.0);  // heading already right
    const std::pair<double, Strings> passes[] = {
        {52.0, {}}, {52.5, {Confirm(217, 1), Confirm(50, 1)}},
        {420.0, {}}, {420.1, {Confirm(219, 1), Confirm(25, 1)}}};
    for (const auto& [height, expected] : passes) {
        fake::sets.clear();
        fake::Report(49, height);
        ProcessGPS();
        EXPECT_EQ(fake::Texts(), expected) << height;
    }
}

TEST_F(Guidance, HeadingLimitedAndCommandedInWholeDegrees) {
    fake::Report(217, 1);
    fake::Report(50, 1);
    fmcState.plan.points[0].course = 150;  // error -60, limited to -30
    ProcessHeading(1);
    EXPECT_EQ(fake::Texts(), Strings{Confirm(122, 45)});
    EXPECT_TRUE(Logged("Bearing error minus excessive"));

    // Point 0 flies the initial course: heading 90.000076 - 90.4 folds to 359.6.
    fmcState.initialCourse = InitialBearing(0, 0, 0, 1);
    fmcState.plan.points[0] = MakePoint(0, 1);
    fake::Report(35, 90.4);
    for (const auto& [selected, sent] : {std::pair{359.2, 1u}, std::pair{358.9, 2u}}) {
        fake::Report(15, selected);
        fake::nowMs += 2000;
        ProcessHeading(0);
        EXPECT_EQ(fake::sets.size(), sent) << selected;
    }
    EXPECT_EQ(fake::sets.back().text, Confirm(122, 359));
}

TEST_F(Guidance, ComputedRateRampsEveryFourSeconds) {
    for (const std::int32_t on : {219, 170, 25}) fake::Report(on, 1);
    fake::Report(14, 6000.0);
    fake::Report(54, 3000.0);
    fake::Report(2, 300.0);
    fmcState.plan.points[1].longitude = 29.9 / GreatCircleDistance(0, 0, 0, 1);  // 6 min to go
    for (const int waitMs : {3000, 1000, 4000, 4000, 0}) {  // the second call is too soon
        ProcessVerticalSpeed(fmcState.plan.points[1]);
        fake::nowMs += waitMs;
    }
    EXPECT_EQ(fake::Texts(), (Strings{Real(20, 200.0001), Real(20, 400.0001), Real(20, 600.0001),
                                      Real(20, 700.0001)}));
}

using Toga = FmcTest;

TEST_F(Toga, SwitchHandling) {
    struct Case {
        int toga0, autoThrust0;
        double groundSpeed, throttle, height;
        Strings expected;  // after TO/GA is (or stays) on
    } cases[] = {
        {0, 1, 0, 0, 0, {Confirm(22, 0), Confirm(179, 17444)}},
        {0, 0, 79.9, 0, 0, {Confirm(179, 17444)}},
        {0, 0, 80, 0, 0, {Confirm(211, 0)}},
        {1, 0, 0, 75, 0, {Confirm(179, 14744)}},
        {1, 0, 0, 95, 400, {}},
        {1, 0, 0, 95, 400.5, {Confirm(211, 0), Confirm(22, 1), Confirm(211, 0)}},
    };
    for (const Case& c : cases) {
        ResetFmcState();
        fake::Report(211, c.toga0);
        fake::Report(22, c.autoThrust0);
        ProcessTOGA();  // only records the switches
        fake::Report(2, c.groundSpeed);
        fake::Report(16, c.throttle);
        fake::Report(49, c.height);
        fake::Report(211, 1);
        fake::sets.clear();
        ProcessTOGA();
        EXPECT_EQ(fake::Texts(), c.expected) << c.toga0 << " " << c.height;
    }
}

}  // namespace
