#include "fmc/guidance.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "fmc/fmc_state.h"
#include "fmc/geometry.h"
#include "fmc/radios.h"
#include "fmc/sequencing.h"
#include "link/var_access.h"
#include "platform/time.h"
#include "base/log.h"

namespace {

constexpr double kVnavEngageHeight = 420.0;  // feet
constexpr double kLnavEngageHeight = 52.0;   // feet
constexpr std::int64_t kHeadingIntervalS = 2;
constexpr std::int64_t kVerticalIntervalS = 4;
constexpr std::int32_t kTargetsFromPass = 5;
constexpr double kMinAltitudeError = 500.0;  // feet
constexpr double kMinGroundSpeed = 50.0;     // knots
constexpr double kFullRateMinutes = 2.0;
constexpr double kRateMargin = 1.4;

void EngageVnavIfArmed(double height) {
    if (GetIntVar(var::VnavArmed) != 0 && GetIntVar(var::VnavEngaged) == 0 &&
        height > kVnavEngageHeight) {
        SetAndConfirm(var::VnavEngaged, 1);
        CommandPause();
        CommandPause();
        SetAndConfirm(var::AltitudeHold, 1);
        CommandPause();
    }
}

void EngageLnavIfArmed(double height) {
    if (GetIntVar(var::LnavArmed) != 0 && GetIntVar(var::LnavEngaged) == 0 &&
        height > kLnavEngageHeight) {
        SetAndConfirm(var::LnavEngaged, 1);
        CommandPause();
        SetAndConfirm(var::HeadingHold, 1);
        CommandPause();
    }
}

}  // namespace

HeadingSolution SolveHeading(double referenceCourse, double actualBearing,
                             double magneticVariation) {
    HeadingSolution s{BearingDifference(referenceCourse, actualBearing), ErrorLimit::None, 0.0};
    // Straight behind: turn right rather than left.
    if (s.error == -180.0) s.error = 180.0;
    if (s.error > kMaxBearingError) {
        s.error = kMaxBearingError;
        s.limited = ErrorLimit::Plus;
    } else if (s.error < -kMaxBearingError) {
        s.error = -kMaxBearingError;
        s.limited = ErrorLimit::Minus;
    }
    s.heading = actualBearing + kBearingErrorGain * s.error - magneticVariation;
    if (s.heading < 0.0) s.heading += 360.0;
    if (s.heading > 360.0) s.heading -= 360.0;
    return s;
}

double CutToVerticalStep(double feetPerMinute) {
    const double v = std::trunc(feetPerMinute / 100.0) * 100.0;
    if (v > 0.0) return v + 0.0001;
    if (v < 0.0) return v - 0.0001;
    return 0.0;
}

double PlannedVerticalSpeed(std::int16_t pointRate, double altitudeError) {
    double v = std::min<double>(pointRate, kMaxVerticalSpeed);
    if (altitudeError < 0.0) v = -v;
    return CutToVerticalStep(v);
}

double ComputedVerticalSpeed(double altitudeError, double minutesToPoint,
                             double lastVerticalSpeed) {
    if (minutesToPoint <= kFullRateMinutes) {
        // Too close to ramp up: all we have.
        return altitudeError > kMinAltitudeError ? kMaxVerticalSpeed : -kMaxVerticalSpeed;
    }
    const double r = altitudeError / minutesToPoint * kRateMargin;
    double v;
    const bool opposite = (r > 0.0 && lastVerticalSpeed < 0.0) || (r < 0.0 && lastVerticalSpeed > 0.0);
    if (opposite) {
        // A reversal is flown at once rather than ramped through zero.
        v = r;
    } else {
        const double change =
            std::clamp(r - lastVerticalSpeed, -kMaxVerticalSpeedChange, kMaxVerticalSpeedChange);
        v = lastVerticalSpeed + change;
    }
    return std::clamp(v, -kMaxVerticalSpeed, kMaxVerticalSpeed);
}

bool ProcessGPS() {
    const std::int32_t index = GetIntVar(var::ActivePoint);
    // No active point (or one the plan does not have): nothing to fly or tune.
    const FlightPoint* point = PlanPoint(index);
    if (point == nullptr) return true;

    ProcessRadios(index);
    // In approach mode the approach flies the aircraft; we only tune.
    if (GetIntVar(var::Approach) != 0) return true;

    const double height = GetRealVar(var::Height);
    EngageVnavIfArmed(height);
    EngageLnavIfArmed(height);

    ProcessHeading(index);

    if (fmcState.gpsCycleCount < INT32_MAX) ++fmcState.gpsCycleCount;
    // The first passes leave the targets alone while the engagement settles.
    if (fmcState.gpsCycleCount >= kTargetsFromPass && GetIntVar(var::VnavEngaged) != 0) {
        ProcessAltitudeTarget(index);
        ProcessSpeedTarget(index);
    }

    ProcessVerticalSpeed(*point);
    return true;
}

void ProcessHeading(std::int32_t index) {
    const std::int64_t now = fmcState.clock.WallSeconds();
    if (now - fmcState.lastHeadingTime < kHeadingIntervalS) return;
    fmcState.lastHeadingTime = now;

    if (GetIntVar(var::LnavEngaged) == 0 || GetIntVar(var::HeadingHold) == 0) return;
    const FlightPoint* p = PlanPoint(index);
    if (p == nullptr) return;

    const double actual = InitialBearing(GetRealVar(var::Latitude), GetRealVar(var::Longitude),
                                         p->latitude, p->longitude);
    const double reference =
        index == 0 ? fmcState.initialCourse : fmcState.plan.points[index - 1].course;
    const HeadingSolution s = SolveHeading(reference, actual, GetRealVar(var::MagneticVariation));
    if (s.limited == ErrorLimit::Plus) WriteLog("Bearing error plus excessive\n");
    if (s.limited == ErrorLimit::Minus) WriteLog("Bearing error minus excessive\n");

    const std::int32_t heading = TruncateToInt(s.heading);
    // Whole degrees only: no command for a change the autopilot cannot show.
    if (TruncateToInt(GetRealVar(var::SelHeading)) != heading) {
        SetAndConfirm(var::SetHeading, heading);
        CommandPause();
    }
}

void ProcessVerticalSpeed(const FlightPoint& point) {
    const std::int64_t now = fmcState.clock.WallSeconds();
    if (now - fmcState.lastVerticalTime < kVerticalIntervalS) return;
    fmcState.lastVerticalTime = now;

    if (GetIntVar(var::VnavEngaged) == 0 || GetIntVar(var::Autopilot) == 0 ||
        GetIntVar(var::AltitudeHold) == 0) {
        return;
    }
    const double error = GetRealVar(var::SelAltitude) - GetRealVar(var::Altitude);

    if (point.verticalSpeed > 0) {
        // The plan's rate is flown as given; it is not a computed command.
        SetRealVar(var::VerticalSpeed, PlannedVerticalSpeed(point.verticalSpeed, error));
        return;
    }
    if (std::fabs(error) <= kMinAltitudeError) return;

    const double distance =
        GreatCircleDistance(GetRealVar(var::Latitude), GetRealVar(var::Longitude), point.latitude,
                            point.longitude);
    const double groundSpeed = GetRealVar(var::GroundSpeed);
    // On the ground (or nearly): no meaningful time to the point.
    if (groundSpeed <= kMinGroundSpeed) return;
    const double minutes = distance / groundSpeed * 60.0;

    const double v = CutToVerticalStep(ComputedVerticalSpeed(error, minutes, fmcState.lastVerticalSpeed));
    fmcState.lastVerticalSpeed = v;
    SetRealVar(var::VerticalSpeed, v);
}
