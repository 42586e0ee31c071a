#include "tests/fmc/fake_link.h"

#include <cstdio>
#include <cstring>
#include <map>

#include "link/flight_plan_buffer.h"
#include "link/var_access.h"
#include "platform/time.h"

namespace fakelink {
namespace {

// The types of the variables the FMC touches, as the variable table has
// them; anything else is an integer as far as these tests care.
bool IsReal(std::int32_t index) {
    switch (index) {
        case 2: case 11: case 12: case 14: case 15: case 16: case 17: case 20: case 35:
        case 49: case 54: case 67: case 68: case 212: case 213: case 214: case 215: case 221:
            return true;
        default:
            return false;
    }
}

std::map<std::int32_t, double> values;
std::vector<SetRecord> sets;
std::vector<std::string> typeErrors;
int mutexTakes = 0;
int mutexReleases = 0;
std::int64_t virtualMs = 0;

void TypeError(const char* what, std::int32_t index) {
    char line[80];
    std::snprintf(line, sizeof line, "%s(%d)", what, index);
    typeErrors.emplace_back(line);
}

std::int64_t VirtualWallSeconds() { return virtualMs / 1000; }
void VirtualSleep(int ms) { virtualMs += ms; }
const platform::TimeSource virtualClock{VirtualWallSeconds, VirtualSleep};

}  // namespace

std::string SetRecord::ToString() const {
    char line[80];
    const char* k = kind == SetKind::Int ? "Int" : kind == SetKind::Real ? "Real" : "Confirm";
    std::snprintf(line, sizeof line, "%s %d=%.4f @%lld", k, index, value,
                  static_cast<long long>(atMs));
    return line;
}

void Reset() {
    values.clear();
    values[222] = -1;
    sets.clear();
    typeErrors.clear();
    mutexTakes = 0;
    mutexReleases = 0;
    std::memset(flightPlanBuffer, 0, sizeof flightPlanBuffer);
}

void Report(std::int32_t index, double value) { values[index] = value; }
double Value(std::int32_t index) { return values[index]; }
const std::vector<SetRecord>& Sets() { return sets; }
void ClearSets() { sets.clear(); }
const std::vector<std::string>& TypeErrors() { return typeErrors; }

void PublishPlan(const FlightPlan& plan) {
    std::memcpy(flightPlanBuffer, &plan, sizeof plan);
}

int FlightMutexTakes() { return mutexTakes; }
int FlightMutexReleases() { return mutexReleases; }

void InstallVirtualClock(std::int64_t startMs) {
    virtualMs = startMs;
    platform::SetThreadTimeSource(&virtualClock);
}
void RemoveVirtualClock() { platform::SetThreadTimeSource(nullptr); }
std::int64_t NowMs() { return virtualMs; }

}  // namespace fakelink

using fakelink::SetKind;

// The link operations the FMC uses, answered from the map.

unsigned char flightPlanBuffer[kFlightPlanBufferSize];

bool GetFlightMutex() {
    ++fakelink::mutexTakes;
    return true;
}

void FreeFlightMutex() { ++fakelink::mutexReleases; }

std::int32_t GetIntVar(std::int32_t index) {
    if (fakelink::IsReal(index)) fakelink::TypeError("GetIntVar", index);
    return static_cast<std::int32_t>(fakelink::values[index]);
}

double GetRealVar(std::int32_t index) {
    if (!fakelink::IsReal(index)) fakelink::TypeError("GetRealVar", index);
    return fakelink::values[index];
}

void SetIntVar(std::int32_t index, std::int32_t value) {
    if (fakelink::IsReal(index)) fakelink::TypeError("SetIntVar", index);
    fakelink::values[index] = value;
    fakelink::sets.push_back({SetKind::Int, index, static_cast<double>(value), fakelink::virtualMs});
}

void SetRealVar(std::int32_t index, double value) {
    if (!fakelink::IsReal(index)) fakelink::TypeError("SetRealVar", index);
    fakelink::values[index] = value;
    fakelink::sets.push_back({SetKind::Real, index, value, fakelink::virtualMs});
}

// The simulator takes every value at once in these tests.
bool SetAndConfirm(std::int32_t index, std::int32_t value) {
    if (fakelink::IsReal(index)) fakelink::TypeError("SetAndConfirm", index);
    fakelink::values[index] = value;
    fakelink::sets.push_back(
        {SetKind::Confirm, index, static_cast<double>(value), fakelink::virtualMs});
    return true;
}
