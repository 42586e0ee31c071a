// A small deterministic aircraft: the autopilot's selected heading, altitude
// and speed come from the client's commands; with the holds on it turns at
// standard rate, climbs at the commanded vertical speed (a default rate when
// none is commanded) and accelerates toward them, and moves along its
// heading at its ground speed (no wind). Mode commands are answered by their
// states; gear, flaps, barometer and minimums are kept as set; while paused
// nothing moves.
#pragma once
#include <cstdint>
#include <functional>

#include "tools/dbnode/radios.h"

namespace dbnode {

struct AircraftModel {
    // Aircraft state
    double latitude = 47.0;   // degrees
    double longitude = 8.0;   // degrees
    double heading = 0.0;     // degrees true (no magnetic variation)
    double altitude = 0.0;    // feet
    double speed = 0.0;       // knots; also the ground speed
    double verticalSpeed = 0; // feet per minute, as flown
    double throttle = 60.0;   // percent
    // Autopilot
    double selectedHeading = 0.0;
    double selectedAltitude = 0.0;
    double selectedSpeed = 0.0;
    double verticalSpeedCommand = 0.0;  // feet per minute
    bool headingHold = false;
    bool altitudeHold = false;
    bool autothrust = false;
    bool autopilot = false;
    bool flightDirector = false;
    bool approach = false;
    bool localiser = false;
    bool thrustArm = false;
    bool throttleCommanded = false;  // the throttle follows 179 only after a command
    double course1 = 0.0;
    double course2 = 0.0;
    double minimums = 200.0;  // feet
    // Aircraft and simulation
    double barometer = 29.92;  // inches of mercury
    bool gearDown = true;
    std::int32_t flaps = 1;  // detent, 0 = up
    bool paused = false;     // reported through 185, which reads 0 while paused
    Radios radios;
};

constexpr double kTurnRateDegPerSec = 3.0;
constexpr double kSpeedChangeKtPerSec = 2.0;
constexpr double kModelStepSec = 0.05;
// Climb or descent rate toward the selected altitude when no vertical speed
// is commanded, so that an altitude set from the panel is flown.
constexpr double kDefaultVerticalSpeedFpm = 1500.0;  // integration step, so results do not depend on tick rate

// Airborne start with autopilot, heading, altitude and speed holds on, the
// selections matching the present state, gear and flaps up.
void StartAirborne(AircraftModel* m, double lat, double lon, double heading, double altitude,
                   double speed);

// Applies a variable set from the client or a script. Returns true when the
// variable means something to the model.
bool ApplyVariable(AircraftModel* m, int index, double value);

// Advances the model by `seconds` of simulated time in fixed steps; leftover
// time below one step is carried in `*carry`. Nothing moves while paused.
void AdvanceModel(AircraftModel* m, double seconds, double* carry);

// One fixed step.
void StepModel(AircraftModel* m, double dt);

// Calls `emit(index, value)` for every variable the model reports.
void ReportVariables(const AircraftModel& m, const std::function<void(int, double)>& emit);

}  // namespace dbnode
