// Shared set-up for FMC step tests: a fresh FMC state, the fake link, a
// virtual clock and a fresh log for every test.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fmc/flight_plan.h"
#include "tests/fmc/fake_link.h"

// A virtual wall clock far from 0, as the real one is: the FMC's interval
// clocks start at 0, so its first timed steps run at once.
constexpr std::int64_t kStartMs = 1'700'000'000'000;

// The log lines written since the test started, without their time stamps.
std::vector<std::string> LogMessages();
// True when some line of the log is exactly `message` (without "\n").
bool Logged(const std::string& message);

// A point with the fields the tests care about; everything else 0 and the
// NAV courses negative (left alone).
FlightPoint MakePoint(double latitude, double longitude, float speed = 0.0f,
                      float altitude = 0.0f, float course = 0.0f);
FlightPlan MakePlan(std::int32_t serial, const std::vector<FlightPoint>& points);

// The recorded sets as "Kind index=value" strings, without the times.
std::vector<std::string> SetList();
std::string IntSet(std::int32_t index, std::int32_t value);
std::string RealSet(std::int32_t index, double value);
std::string ConfirmSet(std::int32_t index, std::int32_t value);

class FmcTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Puts the plan into the FMC's private copy, as a cycle would.
    void LoadPlanCopy(const FlightPlan& plan);
    void AdvanceSeconds(int seconds);
};
