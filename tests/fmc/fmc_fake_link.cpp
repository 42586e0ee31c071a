// The link functions and the flight plan buffer the FMC objects are linked
// against in fmc_tests: no sockets, a map for the variables.
#include <cstdio>
#include <set>

#include "link/var_access.h"
#include "tests/fmc/fmc_test_support.h"

namespace fake {

std::vector<Set> sets;
std::int64_t nowMs = 0;
std::map<std::int32_t, double> values;
Strings typeErrors;

namespace {

// The real variables the FMC touches; the rest are integers here.
const std::set<std::int32_t> kReal{2,  11, 12, 14, 15,  16,  17,  20,  35,
                                   49, 54, 67, 68, 212, 213, 214, 215, 221};

std::string Format(const char* kind, std::int32_t index, double value) {
    char text[80];
    std::snprintf(text, sizeof text, "%s %d=%.4f", kind, index, value);
    return text;
}

// The real link answers a wrong-type access with 0 or ignores it.
void Check(bool real, const char* what, std::int32_t index) {
    if ((kReal.count(index) != 0) != real) {
        typeErrors.push_back(what + (" " + std::to_string(index)));
    }
}

void Record(const char* kind, bool real, std::int32_t index, double value) {
    Check(real, kind, index);
    values[index] = value;
    sets.push_back({Format(kind, index, value), nowMs});
}

}  // namespace

std::string Int(std::int32_t index, double value) { return Format("Int", index, value); }
std::string Real(std::int32_t index, double value) { return Format("Real", index, value); }
std::string Confirm(std::int32_t index, double value) { return Format("Confirm", index, value); }

void Report(std::int32_t index, double value) { values[index] = value; }
void PublishPlan(const FlightPlan& plan) { std::memcpy(flightPlanBuffer, &plan, sizeof plan); }
Strings Texts() {
    Strings out;
    for (const Set& s : sets) out.push_back(s.text);
    return out;
}

const platform::Clock kVirtualClock{[] { return nowMs / 1000; }, [](int ms) { nowMs += ms; }};

}  // namespace fake

unsigned char flightPlanBuffer[kFlightPlanSize];
platform::ScopedLock HoldFlightMutex() {
    static platform::Mutex* const mutex = platform::NewMutex("FLIGHTMUTEX");
    return platform::ScopedLock(mutex, {});
}

std::int32_t GetIntVar(std::int32_t index) {
    fake::Check(false, "GetIntVar", index);
    return static_cast<std::int32_t>(fake::values[index]);
}
double GetRealVar(std::int32_t index) {
    fake::Check(true, "GetRealVar", index);
    return fake::values[index];
}
void SetIntVar(std::int32_t index, std::int32_t value) { fake::Record("Int", false, index, value); }
void SetRealVar(std::int32_t index, double value) { fake::Record("Real", true, index, value); }
// The simulator takes every value at once in these tests.
bool SetAndConfirm(std::int32_t index, std::int32_t value) {
    fake::Record("Confirm", false, index, value);
    return true;
}
