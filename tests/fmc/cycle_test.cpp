// The FMC thread's start, its cycle, the master reset, the plan copy and the
// approach-mode watcher.
#include <gtest/gtest.h>

#include <cstring>

#include "fmc/fmc_cycle.h"
#include "fmc/fmc_state.h"
#include "fmc/fmc_thread.h"
#include "fmc/geometry.h"
#include "shell/settings.h"
#include "tests/fmc/fmc_fixture.h"

namespace {

std::vector<std::string> ResetSets(std::int32_t activePoint) {
    return {IntSet(178, 0), IntSet(211, 0), IntSet(217, 0), IntSet(218, 0), IntSet(219, 0),
            IntSet(220, 0), IntSet(179, 0), IntSet(216, 0), IntSet(222, activePoint)};
}

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A plan far from the aircraft (which sits at 0,0) so that nothing is
// sequenced and no target is worth sending.
FlightPlan FarPlan(std::int32_t serial, int points) {
    std::vector<FlightPoint> list;
    for (int i = 0; i < points; ++i) {
        list.push_back(MakePoint(10.0 + i, 10.0, 90.0f, 0.0f, 45.0f + static_cast<float>(i)));
    }
    return MakePlan(serial, list);
}

using MasterResetTest = FmcTest;

TEST_F(MasterResetTest, ClearsInOrderWithAPauseAfterEachSet) {
    MasterReset();
    EXPECT_EQ(SetList(), ResetSets(-1));
    const auto& sets = fakelink::Sets();
    for (std::size_t i = 0; i < sets.size(); ++i) {
        EXPECT_EQ(sets[i].atMs, kStartMs + 200 * static_cast<std::int64_t>(i)) << i;
    }
    EXPECT_EQ(fakelink::NowMs(), kStartMs + 1800);
    EXPECT_TRUE(Logged("MasterReset() - called"));
}

TEST_F(MasterResetTest, ActivePointIsZeroWhenThePlanCopyHasPoints) {
    LoadPlanCopy(FarPlan(3, 3));
    MasterReset();
    EXPECT_EQ(SetList(), ResetSets(0));
}

TEST_F(MasterResetTest, NegativePointCountIsNoPlan) {
    FlightPlan plan = FarPlan(3, 2);
    plan.pointCount = -2;
    LoadPlanCopy(plan);
    MasterReset();
    EXPECT_EQ(SetList(), ResetSets(-1));
}

TEST_F(MasterResetTest, DebugLineOnlyWithTheDebugSetting) {
    Settings.debugFmc = false;
    MasterReset();
    EXPECT_TRUE(LogMessages().empty());
}

using PlanCopyTest = FmcTest;

TEST_F(PlanCopyTest, WrongLengthIsRefusedAndLeavesTheDestination) {
    fakelink::PublishPlan(FarPlan(9, 2));
    FlightPlan dest{};
    dest.serial = 1234;
    for (const std::size_t length : {std::size_t{0}, kFlightPlanSize - 1, kFlightPlanSize + 1}) {
        EXPECT_FALSE(GetFlightPlanCopy(&dest, length));
    }
    EXPECT_EQ(dest.serial, 1234);
    EXPECT_EQ(dest.pointCount, 0);
    EXPECT_EQ(fakelink::FlightMutexTakes(), 0);
    const std::vector<std::string> log = LogMessages();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "GetFlightPlanCopy() - Invalid size");
}

TEST_F(PlanCopyTest, CopiesTheWholeRecordUnderTheFlightMutex) {
    FlightPlan published = FarPlan(9, 15);
    published.points[14].nav2Course = 77;
    fakelink::PublishPlan(published);
    FlightPlan dest{};
    EXPECT_TRUE(GetFlightPlanCopy(&dest, sizeof dest));
    EXPECT_EQ(std::memcmp(&dest, &published, sizeof dest), 0);
    EXPECT_EQ(fakelink::FlightMutexTakes(), 1);
    EXPECT_EQ(fakelink::FlightMutexReleases(), 1);
}

using ThreadStartTest = FmcTest;

TEST_F(ThreadStartTest, WaitsASecondThenClearsTogaAndNavigationWithReadBack) {
    FmcThreadStart();
    EXPECT_EQ(SetList(), (std::vector<std::string>{ConfirmSet(211, 0), ConfirmSet(217, 0),
                                                    ConfirmSet(219, 0), ConfirmSet(218, 0),
                                                    ConfirmSet(220, 0)}));
    EXPECT_EQ(fakelink::Sets().front().atMs, kStartMs + 1000);
    EXPECT_EQ(fakelink::NowMs(), kStartMs + 1000 + 5 * 200);
    EXPECT_EQ(LogMessages(),
              (std::vector<std::string>{"FMC is waiting for connection", "FMC Connected"}));
}

TEST_F(ThreadStartTest, InitFmcLogsUnderTheDebugSetting) {
    EXPECT_TRUE(InitFMC());
    EXPECT_TRUE(Logged("InitFMC() - called"));
}

using CycleTest = FmcTest;

TEST_F(CycleTest, NoPlanEverOneResetThenOnlyWatchers) {
    FmcCycle();
    EXPECT_EQ(SetList(), ResetSets(-1));
    EXPECT_EQ(fakelink::Sets().front().atMs, kStartMs + 1000);
    EXPECT_TRUE(Logged("FMCThread() - Flight Plan serial has changed. Old: -1  New: 0"));
    EXPECT_TRUE(Logged("TOGA initialized"));

    fakelink::ClearSets();
    FmcCycle();
    FmcCycle();
    EXPECT_TRUE(SetList().empty());
    EXPECT_EQ(fmcState.lastPlanSerial, 0);
}

TEST_F(CycleTest, NewPlanWithThreePointsActivatesPointZero) {
    fakelink::Report(11, 0.0);
    fakelink::Report(12, 0.0);
    FlightPlan plan = FarPlan(7, 3);
    plan.points[0].speed = 250.0f;
    plan.points[0].altitude = 8000.0f;
    plan.points[0].nav1Frequency = 11390;
    fakelink::PublishPlan(plan);

    FmcCycle();
    const double course = InitialBearing(0.0, 0.0, 10.0, 10.0);
    EXPECT_DOUBLE_EQ(fmcState.initialCourse, course);
    std::vector<std::string> expected = ResetSets(0);
    expected = Concat(expected, {RealSet(214, 250.0), RealSet(215, 8000.0), RealSet(213, 10.0),
                                 RealSet(212, 10.0), IntSet(216, 1), RealSet(221, course),
                                 IntSet(222, 0)});
    // Two tunings by the activation, the speed and altitude targets, then
    // the third tuning in the guidance pass of the same cycle.
    expected = Concat(expected, {IntSet(126, 0x1390), IntSet(126, 0x1390), ConfirmSet(124, 250),
                                 ConfirmSet(123, 8000), IntSet(126, 0x1390)});
    EXPECT_EQ(SetList(), expected);
    EXPECT_TRUE(Logged("FMCThread() - Flight Plan serial has changed. Old: -1  New: 7"));
    EXPECT_EQ(fmcState.lastPlanSerial, 7);

    // The same plan again: no reset, no new activation.
    fakelink::ClearSets();
    FmcCycle();
    EXPECT_TRUE(SetList().empty());
}

TEST_F(CycleTest, NewPlanWithNoPointsResetsAndActivatesNothing) {
    FmcCycle();
    fakelink::ClearSets();
    fakelink::PublishPlan(MakePlan(8, {}));
    FmcCycle();
    EXPECT_EQ(SetList(), ResetSets(-1));
    EXPECT_EQ(fmcState.lastPlanSerial, 8);
}

TEST_F(CycleTest, ResetRequestAndNewSerialInOneCycleResetTwiceThenActivate) {
    fakelink::Report(178, 1);
    fakelink::PublishPlan(FarPlan(5, 3));
    FmcCycle();
    const std::vector<std::string> sets = SetList();
    ASSERT_GE(sets.size(), 25u);
    const std::vector<std::string> twoResets = Concat(ResetSets(0), ResetSets(0));
    EXPECT_EQ(std::vector<std::string>(sets.begin(), sets.begin() + 18), twoResets);
    EXPECT_EQ(sets[18], RealSet(214, 90.0));
    EXPECT_EQ(sets[24], IntSet(222, 0));
    EXPECT_TRUE(Logged("FMCThread() - Reset received from sim"));
}

TEST_F(CycleTest, ResetRequestAloneDoesNotActivateAPoint) {
    fakelink::PublishPlan(FarPlan(5, 3));
    FmcCycle();
    fakelink::ClearSets();
    fakelink::Report(178, 1);
    FmcCycle();
    // The reset clears 178 itself, so it happens once.
    EXPECT_EQ(SetList(), ResetSets(0));
}

TEST_F(CycleTest, PointCountAboveFifteenIsReadAsFifteen) {
    FlightPlan plan = FarPlan(4, 15);
    plan.pointCount = 40;
    fakelink::PublishPlan(plan);
    FmcCycle();
    EXPECT_EQ(SetList()[8], IntSet(222, 0));
    // The aircraft reaches the fifteenth point: that is the end of the plan.
    fakelink::Report(11, plan.points[14].latitude);
    fakelink::Report(12, plan.points[14].longitude);
    fakelink::ClearSets();
    FmcCycle();
    EXPECT_TRUE(Logged("Point: 14 found in FP"));
    EXPECT_TRUE(Logged("ProcessFlightPlan() - End of flight plan encountered"));
    EXPECT_EQ(fakelink::Value(222), -1);
}

TEST_F(CycleTest, EmptyPlanSkipsSequencingAndGuidanceButNotTheWatchers) {
    fakelink::Report(222, 0);  // the DB node claims a point is active
    fakelink::Report(111, 0);
    FmcCycle();
    fakelink::ClearSets();
    fakelink::Report(222, 0);
    fakelink::Report(211, 1);  // TO/GA switched on
    fakelink::Report(111, 1);  // approach mode switched on
    FmcCycle();
    const std::vector<std::string> sets = SetList();
    ASSERT_FALSE(sets.empty());
    EXPECT_EQ(sets.front(), IntSet(123, 0));   // the approach watcher ran
    EXPECT_EQ(sets.back(), ConfirmSet(179, 17444));  // and TO/GA
    EXPECT_FALSE(Logged("ProcessFlightPlan() - begin"));
}

using ApproachModeTest = FmcTest;

TEST_F(ApproachModeTest, EachChangeDropsTheAutomation) {
    fakelink::Report(54, 4321.9);
    ProcessApproachMode();
    EXPECT_TRUE(SetList().empty());

    const std::vector<std::string> dropOut = {IntSet(123, 4321), IntSet(219, 0), IntSet(217, 0),
                                              IntSet(220, 0),    IntSet(218, 0), IntSet(216, 0),
                                              IntSet(222, -1)};
    fakelink::Report(111, 1);
    ProcessApproachMode();
    EXPECT_EQ(SetList(), dropOut);
    EXPECT_EQ(fakelink::NowMs(), kStartMs + 7 * 200);

    fakelink::ClearSets();
    ProcessApproachMode();
    EXPECT_TRUE(SetList().empty());

    fakelink::Report(111, 0);
    ProcessApproachMode();
    EXPECT_EQ(SetList(), dropOut);
}

TEST_F(ApproachModeTest, ModeOnBeforeTheFirstCallIsNoChange) {
    fakelink::Report(111, 1);
    ProcessApproachMode();
    ProcessApproachMode();
    EXPECT_TRUE(SetList().empty());
}

}  // namespace
