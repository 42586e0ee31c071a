#include "tests/fmc/fmc_fixture.h"

#include <cstdio>
#include <fstream>

#include "fmc/fmc_state.h"
#include "platform/time.h"
#include "shell/log.h"
#include "shell/settings.h"

namespace {

std::string FormatSet(const char* kind, std::int32_t index, double value) {
    char text[80];
    std::snprintf(text, sizeof text, "%s %d=%.4f", kind, index, value);
    return text;
}

}  // namespace

std::vector<std::string> LogMessages() {
    std::vector<std::string> lines;
    std::ifstream in(logFileName);
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        if (first) {  // "Log started."
            first = false;
            continue;
        }
        // "HH:MM:SS:mmm " stamp, then the separating blank.
        lines.push_back(line.size() >= 14 ? line.substr(14) : line);
    }
    return lines;
}

bool Logged(const std::string& message) {
    for (const std::string& line : LogMessages()) {
        if (line == message) return true;
    }
    return false;
}

FlightPoint MakePoint(double latitude, double longitude, float speed, float altitude,
                      float course) {
    FlightPoint p{};
    p.latitude = latitude;
    p.longitude = longitude;
    p.speed = speed;
    p.altitude = altitude;
    p.course = course;
    p.nav1Course = -1;
    p.nav2Course = -1;
    return p;
}

FlightPlan MakePlan(std::int32_t serial, const std::vector<FlightPoint>& points) {
    FlightPlan plan{};
    plan.serial = serial;
    plan.pointCount = static_cast<std::int32_t>(points.size());
    for (std::size_t i = 0; i < points.size() && i < kMaxFlightPoints; ++i) {
        plan.points[i] = points[i];
    }
    return plan;
}

std::vector<std::string> SetList() {
    std::vector<std::string> out;
    for (const fakelink::SetRecord& r : fakelink::Sets()) {
        const char* kind = r.kind == fakelink::SetKind::Int    ? "Int"
                           : r.kind == fakelink::SetKind::Real ? "Real"
                                                               : "Confirm";
        out.push_back(FormatSet(kind, r.index, r.value));
    }
    return out;
}

std::string IntSet(std::int32_t index, std::int32_t value) { return FormatSet("Int", index, value); }
std::string RealSet(std::int32_t index, double value) { return FormatSet("Real", index, value); }
std::string ConfirmSet(std::int32_t index, std::int32_t value) {
    return FormatSet("Confirm", index, value);
}

void FmcTest::SetUp() {
    ASSERT_TRUE(StartLog("fmc_test.log"));
    Settings.debugFmc = true;
    ResetFmcState();
    fakelink::Reset();
    fakelink::InstallVirtualClock(kStartMs);
}

void FmcTest::TearDown() {
    EXPECT_TRUE(fakelink::TypeErrors().empty())
        << "first wrong-type access: " << fakelink::TypeErrors().front();
    fakelink::RemoveVirtualClock();
    Settings.debugFmc = false;
}

void FmcTest::LoadPlanCopy(const FlightPlan& plan) { fmcState.plan = plan; }

void FmcTest::AdvanceSeconds(int seconds) { platform::SleepMs(seconds * 1000); }
