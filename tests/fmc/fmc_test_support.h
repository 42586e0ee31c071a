// A stand-in for the simulator link: variables in a map, every set recorded
// as text with its virtual time, and a fixture that gives each test a fresh
// FMC state, link, log and virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "fmc/fmc_state.h"
#include "link/flight_plan_buffer.h"
#include "platform/time.h"
#include "base/log.h"
#include "base/settings.h"

using Strings = std::vector<std::string>;

namespace fake {

struct Set {
    std::string text;  // "Int 222=-1.0000", "Real 221=...", "Confirm 211=0.0000"
    std::int64_t atMs;
};
extern std::vector<Set> sets;
extern std::int64_t nowMs;  // the virtual clock: SleepMs advances it
extern std::map<std::int32_t, double> values;
extern Strings typeErrors;

std::string Int(std::int32_t index, double value);
std::string Real(std::int32_t index, double value);
std::string Confirm(std::int32_t index, double value);

// What the DB node reports: changes a value without recording a set.
void Report(std::int32_t index, double value);
void PublishPlan(const FlightPlan& plan);
Strings Texts();

extern const platform::Clock kVirtualClock;

}  // namespace fake

namespace fmctest {

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

inline bool Logged(const std::string& message) {
    std::ifstream in(logFileName);
    // Each line is "HH:MM:SS:mmm " and the message.
    for (std::string line; std::getline(in, line);) {
        if (line.size() >= 14 && line.substr(14) == message) return true;
    }
    return false;
}

// NAV courses negative (left alone), everything else not given 0.
inline FlightPoint MakePoint(double latitude, double longitude, float course = 0) {
    FlightPoint p{};
    p.latitude = latitude;
    p.longitude = longitude;
    p.course = course;
    p.nav1Course = p.nav2Course = -1;
    return p;
}

inline FlightPlan MakePlan(std::int32_t serial, const std::vector<FlightPoint>& points) {
    FlightPlan plan{};
    plan.serial = serial;
    plan.pointCount = static_cast<std::int32_t>(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) plan.points[i] = points[i];
    return plan;
}

}  // namespace fmctest
