// The pieces of the FMC thread: the plan copy, the start-up clearing, one
// cycle, the master reset and the approach-mode watcher. FMCThread runs the
// start once and the cycle forever; tests drive them one at a time.
#pragma once
#include <cstddef>

#include "base/resources.h"

// Created by InitFMC. It is not the flight plan buffer's FlightMutex and
// nothing takes it yet; it exists so that a plan reservation can be added
// without touching start-up, and start-up still stops if it cannot be made.
extern ResourceHandle fmcPlanLock;

// Copies the flight plan buffer into destination under FlightMutex. Refuses
// (with a log line, destination untouched) any length but 1088.
bool GetFlightPlanCopy(void* destination, std::size_t length);

namespace platform {
class StopSignal;
}

// Once, when the thread starts: waits a second (on fmcState.clock, as every
// FMC step sleeps and reads the wall clock), then clears TO/GA, LNAV and
// VNAV with read-back. false when `stop` (if given) was requested during the
// wait, and nothing was done.
bool FmcThreadStart(platform::StopSignal* stop = nullptr);

// One cycle: sleep a second, copy the plan, react to a reset request and to
// a new plan, then sequencing, guidance, the approach watcher and TO/GA.
// false when `stop` (if given) was requested during the sleep.
bool FmcCycle(platform::StopSignal* stop = nullptr);

// Clears the automation and republishes the active point (0 or -1).
void MasterReset();

// Drops LNAV, VNAV and the plan whenever the approach mode (var::Approach) changes.
void ProcessApproachMode();
