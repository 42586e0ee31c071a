// Which flight-plan point is active, and what activating one publishes.
#pragma once
#include <cstdint>

// Sequencing radius: a point is reached strictly inside it.
constexpr double kSequencingRadiusNm = 3.6;

// Every other cycle: moves to the successor of the first point within the
// radius, or ends the plan at its last point.
void ProcessFlightPlan();

// Makes point index active with `course` as the reference of the leg ending
// there. An index outside the plan's valid points does nothing.
void ActivateFlightPoint(std::int32_t index, double course);

// Sets the NAV1 and NAV2 course settings from point index.
void SetNavCourses(std::int32_t index);

// Push the point's speed and altitude to the autopilot when worth it.
void ProcessSpeedTarget(std::int32_t index);
void ProcessAltitudeTarget(std::int32_t index);
