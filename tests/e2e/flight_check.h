// Judges a flown plan from the DB node's transcript: the points activated in
// order, the end of the plan declared, the aircraft on each leg once it had
// intercepted it, and each altitude target reached without overshoot.
#pragma once
#include <string>
#include <vector>

#include "fmc/flight_plan.h"
#include "tests/e2e/transcript.h"

namespace e2e {

struct FlightLimits {
    double interceptNm = 1.0;      // a leg counts as intercepted this close
    double maxCrossTrackNm = 2.0;  // and must then stay this close
    double altitudeSlackFt = 50.0;
};

// Returns the failures found; empty when the flight passes. `notes`, when
// given, receives the margins (worst cross-track per leg, when each target
// was reached) for the test's output.
std::vector<std::string> CheckFlight(const Transcript& transcript, const FlightPlan& plan,
                                     const FlightLimits& limits = FlightLimits{},
                                     std::vector<std::string>* notes = nullptr);

// Distance in nm of a position from the great-circle-ish line through a and b
// (flat-earth about a, fine for legs of tens of miles).
double CrossTrackNm(double lat, double lon, double latA, double lonA, double latB, double lonB);

}  // namespace e2e
