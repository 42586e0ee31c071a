// The FMC thread's private state and the conventions its steps share:
// the command pause, debug messages, truncation and access to plan points.
#pragma once
#include <cstdint>

#include "platform/time.h"
#include "protocol/flight_plan.h"

// Pause after most commands, giving the simulator time to act on them.
constexpr int kCommandPauseMs = 200;

// Touched only by the FMC thread, so it needs no lock.
struct FmcState {
    FlightPlan plan{};                  // copy taken at the start of each cycle
    std::int32_t lastPlanSerial = -1;   // -1: the first cycle always sees a new plan
    double initialCourse = 0.0;         // reference course while point 0 is active
    std::int32_t planCycleCount = 0;    // sequencing runs every other cycle
    std::int32_t radioTuneCount = 3;    // tunings since the last activation; stops at 3
    std::int32_t gpsCycleCount = 0;     // targets are pushed from the fifth pass on
    std::int64_t lastHeadingTime = 0;   // wall seconds
    std::int64_t lastVerticalTime = 0;  // wall seconds
    double lastVerticalSpeed = 0.0;     // last computed vertical speed command
    std::int32_t lastApproachMode = 0;
    bool approachWatcherStarted = false;
    std::int32_t lastToga = 0;
    std::int32_t lastAutoThrust = 0;
    bool togaStarted = false;
    platform::Clock clock;              // handed to FMCThread: its sleeps and interval clocks
};

extern FmcState fmcState;

// Back to the state the process starts with, on the real clock (tests use
// it between cases).
void ResetFmcState();

// Sleeps kCommandPauseMs on fmcState.clock.
void CommandPause();

// Messages written only when the parameter file enables FMC debugging.
void FmcDebug(const char* message);
void FmcDebugf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Real to integer, toward zero. A value no int32 can hold (or NaN) gives
// INT32_MIN, as the x86 conversion instruction does, instead of undefined
// behaviour.
std::int32_t TruncateToInt(double value);

// The number of points that may be read: pointCount limited to 0..15.
std::int32_t ValidPointCount(const FlightPlan& plan);

// The point at index in the plan copy, or nullptr when index is not one of
// its valid points (var::ActivePoint is also written by the DB node, so any
// value may turn up there).
const FlightPoint* PlanPoint(std::int32_t index);
