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
    if (GetIntVar(220) != 0 && GetIntVar(219) == 0 && height > kVnavEngageHeight) {
        SetAndConfirm(219, 1);
        CommandPause();
        CommandPause();
        SetAndConfirm(25, 1);  // altitude hold
        CommandPause();
    }
}

void EngageLnavIfArmed(double height) {
    if (GetIntVar(218) != 0 && GetIntVar(217) == 0 && height > kLnavEngageHeight) {
        SetAndConfirm(217, 1);
        CommandPause();
        SetAndConfirm(50, 1);  // heading hold
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
    const std::int32_t index = GetIntVar(222);
    // No active point (or one the plan does not have): nothing to fly or tune.
    const FlightPoint* point = PlanPoint(index);
    if (point == nullptr) return true;

    ProcessRadios(index);
    // In approach mode the approach flies the aircraft; we only tune.
    if (GetIntVar(111) != 0) return true;

    const double height = GetRealVar(49);
    EngageVnavIfArmed(height);
    EngageLnavIfArmed(height);

    ProcessHeading(index);

    if (fmcState.gpsCycleCount < INT32_MAX) ++fmcState.gpsCycleCount;
    // The first passes leave the targets alone while the engagement settles.
    if (fmcState.gpsCycleCount >= kTargetsFromPass && GetIntVar(219) != 0) {
        ProcessAltitudeTarget(index);
        ProcessSpeedTarget(index);
    }

    ProcessVerticalSpeed(*point);
    return true;
}

void ProcessHeading(std::int32_t index) {
    const std::int64_t now = platform::WallSeconds();
    if (now - fmcState.lastHeadingTime < kHeadingIntervalS) return;
    fmcState.lastHeadingTime = now;

    if (GetIntVar(217) == 0 || GetIntVar(50) == 0) return;
    const FlightPoint* p = PlanPoint(index);
    if (p == nullptr) return;

    const double actual = InitialBearing(GetRealVar(11), GetRealVar(12), p->latitude, p->longitude);
    const double reference =
        index == 0 ? fmcState.initialCourse : fmcState.plan.points[index - 1].course;
    const HeadingSolution s = SolveHeading(reference, actual, GetRealVar(35));
    if (s.limited == ErrorLimit::Plus) WriteLog("Bearing error plus excessive\n");
    if (s.limited == ErrorLimit::Minus) WriteLog("Bearing error minus excessive\n");

    const std::int32_t heading = TruncateToInt(s.heading);
    // Whole degrees only: no command for a change the autopilot cannot show.
    if (TruncateToInt(GetRealVar(15)) != heading) {
        SetAndConfirm(122, heading);
        CommandPause();
    }
}

void ProcessVerticalSpeed(const FlightPoint& point) {
    const std::int64_t now = platform::WallSeconds();
    if (now - fmcState.lastVerticalTime < kVerticalIntervalS) return;
    fmcState.lastVerticalTime = now;

    if (GetIntVar(219) == 0 || GetIntVar(170) == 0 || GetIntVar(25) == 0) return;
    const double error = GetRealVar(14) - GetRealVar(54);

    if (point.verticalSpeed > 0) {
        // The plan's rate is flown as given; it is not a computed command.
        SetRealVar(20, PlannedVerticalSpeed(point.verticalSpeed, error));
        return;
    }
    if (std::fabs(error) <= kMinAltitudeError) return;

    const double distance =
        GreatCircleDistance(GetRealVar(11), GetRealVar(12), point.latitude, point.longitude);
    const double groundSpeed = GetRealVar(2);
    // On the ground (or nearly): no meaningful time to the point.
    if (groundSpeed <= kMinGroundSpeed) return;
    const double minutes = distance / groundSpeed * 60.0;

    const double v = CutToVerticalStep(ComputedVerticalSpeed(error, minutes, fmcState.lastVerticalSpeed));
    fmcState.lastVerticalSpeed = v;
    SetRealVar(20, v);
}
