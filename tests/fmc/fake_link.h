// A stand-in for the simulator link in FMC tests: variables live in a map,
// every set is recorded in order with the virtual time it happened at, and
// the flight plan buffer is a plain array the test fills.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "fmc/flight_plan.h"

namespace fakelink {

enum class SetKind { Int, Real, Confirm };

struct SetRecord {
    SetKind kind;
    std::int32_t index;
    double value;
    std::int64_t atMs;  // virtual clock when the set was made

    std::string ToString() const;
};

// All variables 0, variable 222 at -1 (its starting value), no sets
// recorded, an empty flight plan in the buffer.
void Reset();

// What the DB node reports: changes a value without recording a set.
void Report(std::int32_t index, double value);
// The value a variable holds now (last set or report).
double Value(std::int32_t index);

// The recorded sets, oldest first; Clear forgets them.
const std::vector<SetRecord>& Sets();
void ClearSets();

// Wrong-type accesses seen (an int read of a real variable and the like);
// the real link would silently answer 0 or ignore such a set.
const std::vector<std::string>& TypeErrors();

// Puts a plan into the flight plan buffer the FMC copies from.
void PublishPlan(const FlightPlan& plan);

int FlightMutexTakes();
int FlightMutexReleases();

// Virtual clock: SleepMs advances it, WallSeconds reads it.
void InstallVirtualClock(std::int64_t startMs);
void RemoveVirtualClock();
std::int64_t NowMs();

}  // namespace fakelink
