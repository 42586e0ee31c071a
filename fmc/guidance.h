// Lateral and vertical guidance toward the active point, and the arithmetic
// behind it as pure functions.
#pragma once
#include <cstdint>

#include "protocol/flight_plan.h"

// Once per cycle while a point is active. Always true (the caller ignores it).
bool ProcessGPS();
// Commands the selected heading toward point index, at most every 2 s.
void ProcessHeading(std::int32_t index);
// Commands the vertical speed toward the selected altitude, at most every 4 s.
void ProcessVerticalSpeed(const FlightPoint& point);

constexpr double kMaxBearingError = 30.0;
constexpr double kBearingErrorGain = 1.5;
constexpr double kMaxVerticalSpeed = 1800.0;
constexpr double kMaxVerticalSpeedChange = 200.0;

enum class ErrorLimit { None, Plus, Minus };

struct HeadingSolution {
    double error;        // bearing error after the 30 degree limit
    ErrorLimit limited;  // which limit, if any, was applied
    double heading;      // new magnetic heading, degrees
};

// The heading that closes on the leg: the direct bearing plus 1.5 times the
// (limited) error from the reference course, made magnetic and folded once.
HeadingSolution SolveHeading(double referenceCourse, double actualBearing,
                             double magneticVariation);

// Cuts to the 100 ft/min step toward zero and marks a non-zero result with
// 0.0001 away from zero (the simulator's autopilot wants it that way).
double CutToVerticalStep(double feetPerMinute);

// The point's own rate: at most 1800, downward when the selected altitude
// is below the present one; already cut to the step.
double PlannedVerticalSpeed(std::int16_t pointRate, double altitudeError);

// The computed rate before the step cut, from the altitude error (feet), the
// time to the point (minutes) and the last computed command.
double ComputedVerticalSpeed(double altitudeError, double minutesToPoint,
                             double lastVerticalSpeed);
