#include "link/flight_plan_buffer.h"

#include <cstdio>

#include "link/link_state.h"
#include "base/fatal.h"
#include "base/log.h"

unsigned char flightPlanBuffer[kFlightPlanSize];

namespace {

void WaitFailed(platform::WaitResult) { WriteLog("GetFlightMutex() - Mutex wait timed out\n"); }

[[noreturn]] void ReleaseFailed() {
    char line[100];
    std::snprintf(line, sizeof line, "FreeFlightMutex() - Internal Error: %d\n", 1002);
    FatalStop(1002, line);
}

}  // namespace

platform::ScopedLock HoldFlightMutex() {
    return platform::ScopedLock(FlightMutex, {&WaitFailed, &ReleaseFailed});
}
