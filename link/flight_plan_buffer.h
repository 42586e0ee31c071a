// The flight plan buffer: written by the receiver, copied by the FMC, both
// only while holding FlightMutex.
#pragma once
#include <cstddef>

#include "platform/sync.h"
#include "protocol/flight_plan.h"

extern unsigned char flightPlanBuffer[kFlightPlanSize];

// Holds FlightMutex for a scope. A wait that does not acquire it writes
// "GetFlightMutex() - Mutex wait timed out" and holds nothing; a failed
// release of a held mutex is fatal stop 1002.
platform::ScopedLock HoldFlightMutex();
