#include "fmc/fmc_state.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "platform/time.h"
#include "base/log.h"
#include "base/settings.h"

FmcState fmcState;

void ResetFmcState() { fmcState = FmcState{}; }

void CommandPause() { fmcState.clock.SleepMs(kCommandPauseMs); }

void FmcDebug(const char* message) {
    if (Settings.debugFmc) WriteLog(message);
}

void FmcDebugf(const char* format, ...) {
    if (!Settings.debugFmc) return;
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    WriteLog(line);
}

std::int32_t TruncateToInt(double value) {
    const double t = std::trunc(value);
    if (!(t >= -2147483648.0 && t <= 2147483647.0)) return INT32_MIN;
    return static_cast<std::int32_t>(t);
}

std::int32_t ValidPointCount(const FlightPlan& plan) {
    if (plan.pointCount <= 0) return 0;
    if (plan.pointCount > kMaxFlightPoints) return kMaxFlightPoints;
    return plan.pointCount;
}

const FlightPoint* PlanPoint(std::int32_t index) {
    if (index < 0 || index >= ValidPointCount(fmcState.plan)) return nullptr;
    return &fmcState.plan.points[index];
}
