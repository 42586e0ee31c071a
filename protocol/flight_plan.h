// The flight plan record as the DB node sends it: 1088 bytes, little-endian,
// no padding; up to 15 points of 72 bytes.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "the flight plan is copied byte for byte from the wire");

struct FlightPoint {
    double latitude;               // degrees, north positive
    double longitude;              // degrees, east positive
    float speed;                   // knots
    float altitude;                // feet
    float course;                  // degrees true, of the leg starting here
    unsigned char unused1[4];
    std::int16_t nav1Frequency;    // plain binary; 0 = do not tune
    std::int16_t nav2Frequency;
    std::int16_t verticalSpeed;    // ft/min; above 0 flown as planned
    std::int16_t nav1Course;       // degrees; negative = leave unchanged
    std::int16_t nav2Course;
    unsigned char unused2[30];
};

constexpr int kMaxFlightPoints = 15;

struct FlightPlan {
    std::int32_t pointCount;  // 0 or less: no plan
    std::int32_t serial;      // a different value means a new plan
    FlightPoint points[kMaxFlightPoints];
};

static_assert(sizeof(FlightPoint) == 72);
static_assert(offsetof(FlightPoint, latitude) == 0);
static_assert(offsetof(FlightPoint, longitude) == 8);
static_assert(offsetof(FlightPoint, speed) == 16);
static_assert(offsetof(FlightPoint, altitude) == 20);
static_assert(offsetof(FlightPoint, course) == 24);
static_assert(offsetof(FlightPoint, nav1Frequency) == 32);
static_assert(offsetof(FlightPoint, nav2Frequency) == 34);
static_assert(offsetof(FlightPoint, verticalSpeed) == 36);
static_assert(offsetof(FlightPoint, nav1Course) == 38);
static_assert(offsetof(FlightPoint, nav2Course) == 40);
static_assert(sizeof(FlightPlan) == 1088);
static_assert(offsetof(FlightPlan, pointCount) == 0);
static_assert(offsetof(FlightPlan, serial) == 4);
static_assert(offsetof(FlightPlan, points) == 8);

constexpr std::size_t kFlightPlanSize = sizeof(FlightPlan);
