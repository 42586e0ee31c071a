#include "link/flight_plan_buffer.h"

#include <cstdio>

#include "link/link_state.h"
#include "base/fatal.h"
#include "base/log.h"

unsigned char flightPlanBuffer[kFlightPlanSize];

bool GetFlightMutex() {
    if (FlightMutex != nullptr && FlightMutex->Wait() == platform::WaitResult::Acquired) return true;
    WriteLog("GetFlightMutex() - Mutex wait timed out\n");
    return false;
}

void FreeFlightMutex() {
    if (FlightMutex == nullptr || !FlightMutex->Release()) {
        char line[100];
        std::snprintf(line, sizeof line, "FreeFlightMutex() - Internal Error: %d\n", 1002);
        FatalStop(1002, line);
    }
}
