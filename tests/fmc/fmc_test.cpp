// The FMC's arithmetic and steps against a stand-in for the simulator link:
// variables in a map, every set recorded as text with its virtual time, and a
// fresh FMC state, link, log and virtual clock for each test.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fmc/fmc_cycle.h"
#include "fmc/fmc_state.h"
#include "fmc/geometry.h"
#include "fmc/guidance.h"
#include "fmc/radios.h"
#include "fmc/sequencing.h"
#include "fmc/toga.h"
#include "link/flight_plan_buffer.h"
#include "link/var_access.h"
#include "platform/time.h"
#include "base/log.h"
#include "base/settings.h"
#include "tests/support/portable.h"

using Strings = std::vector<std::string>;

extern "C" const char* __tsan_default_options() { return "halt_on_error=1"; }

namespace fake {

struct Set {
    std::string text;  // "Int 222=-1.0000", "Real 221=...", "Confirm 211=0.0000"
    std::int64_t atMs;
};
std::vector<Set> sets;
std::int64_t nowMs = 0;  // the virtual clock: SleepMs advances it
std::map<std::int32_t, double> values;
Strings typeErrors;

// The real variables the FMC touches; the rest are integers here.
const std::set<std::int32_t> kReal{2,  11, 12, 14, 15,  16,  17,  20,  35,
                                   49, 54, 67, 68, 212, 213, 214, 215, 221};

std::string Format(const char* kind, std::int32_t index, double value) {
    char text[80];
    std::snprintf(text, sizeof text, "%s %d=%.4f", kind, index, value);
    return text;
}
std::string Int(std::int32_t index, double value) { return Format("Int", index, value); }
std::string Real(std::int32_t index, double value) { return Format("Real", index, value); }
std::string Confirm(std::int32_t index, double value) { return Format("Confirm", index, value); }

// The real link answers a wrong-type access with 0 or ignores it.
void Check(bool real, const char* what, std::int32_t index) {
    if ((kReal.count(index) != 0) != real) {
        typeErrors.push_back(what + (" " + std::to_string(index)));
    }
}

void Record(const char* kind, bool real, std::int32_t index, double value) {
    Check(real, kind, index);
    values[index] = value;
    sets.push_back({Format(kind, index, value), nowMs});
}

// What the DB node reports: changes a value without recording a set.
void Report(std::int32_t index, double value) { values[index] = value; }
void PublishPlan(const FlightPlan& plan) { std::memcpy(flightPlanBuffer, &plan, sizeof plan); }
Strings Texts() {
    Strings out;
    for (const Set& s : sets) out.push_back(s.text);
    return out;
}

const platform::Clock kVirtualClock{[] { return nowMs / 1000; }, [](int ms) { nowMs += ms; }};

}  // namespace fake

unsigned char flightPlanBuffer[kFlightPlanSize];
platform::ScopedLock HoldFlightMutex() {
    static platform::Mutex* const mutex = platform::NewMutex("FLIGHTMUTEX");
    return platform::ScopedLock(mutex, {});
}

std::int32_t GetIntVar(std::int32_t index) {
    fake::Check(false, "GetIntVar", index);
    return static_cast<std::int32_t>(fake::values[index]);
}
double GetRealVar(std::int32_t index) {
    fake::Check(true, "GetRealVar", index);
    return fake::values[index];
}
void SetIntVar(std::int32_t index, std::int32_t value) { fake::Record("Int", false, index, value); }
void SetRealVar(std::int32_t index, double value) { fake::Record("Real", true, index, value); }
// The simulator takes every value at once in these tests.
bool SetAndConfirm(std::int32_t index, std::int32_t value) {
    fake::Record("Confirm", false, index, value);
    return true;
}

namespace {

using fake::Confirm;
using fake::Int;
using fake::Real;

// Far from 0, as the real wall clock is: the FMC's interval clocks start at
// 0, so its first timed steps run at once.
constexpr std::int64_t kStartMs = 1'700'000'000'000;

class FmcTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartLog("fmc_test.log", fake::kVirtualClock));
        Settings.debugFmc = true;
        ResetFmcState();
        fmcState.clock = fake::kVirtualClock;
        fake::values = {{222, -1}};
        fake::sets.clear();
        fake::typeErrors.clear();
        std::memset(flightPlanBuffer, 0, sizeof flightPlanBuffer);
        fake::nowMs = kStartMs;
    }
    void TearDown() override {
        EXPECT_TRUE(fake::typeErrors.empty()) << "wrong-type access: " << fake::typeErrors[0];
        Settings.debugFmc = false;
    }
};

bool Logged(const std::string& message) {
    std::ifstream in(logFileName);
    // Each line is "HH:MM:SS:mmm " and the message.
    for (std::string line; std::getline(in, line);) {
        if (line.size() >= 14 && line.substr(14) == message) return true;
    }
    return false;
}

// NAV courses negative (left alone), everything else not given 0.
FlightPoint MakePoint(double latitude, double longitude, float course = 0) {
    FlightPoint p{};
    p.latitude = latitude;
    p.longitude = longitude;
    p.course = course;
    p.nav1Course = p.nav2Course = -1;
    return p;
}

FlightPlan MakePlan(std::int32_t serial, const std::vector<FlightPoint>& points) {
    FlightPlan plan{};
    plan.serial = serial;
    plan.pointCount = static_cast<std::int32_t>(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) plan.points[i] = points[i];
    return plan;
}

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
