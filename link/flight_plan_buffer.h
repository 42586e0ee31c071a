// The flight plan buffer: written by the receiver, copied by the FMC, both
// only while holding FlightMutex.
#pragma once
#include <cstddef>

#include "protocol/flight_plan.h"

extern unsigned char flightPlanBuffer[kFlightPlanSize];

// Waits for FlightMutex; false (and a log line) when it was not acquired.
bool GetFlightMutex();
// Releases FlightMutex; fatal stop 1002 if that fails.
void FreeFlightMutex();
