#include "fmc/sequencing.h"

#include "fmc/fmc_state.h"
#include "fmc/geometry.h"
#include "fmc/radios.h"
#include "link/var_access.h"

namespace {

// Variable 222 is written by the DB node too; anything that is not one of
// the plan's valid points counts as no active point.
bool HasActivePoint(std::int32_t active) { return PlanPoint(active) != nullptr; }

// End of plan: stop following it and drop LNAV and VNAV.
void EndFlightPlan() {
    FmcDebug("ProcessFlightPlan() - End of flight plan encountered\n");
    SetIntVar(var::PlanFollowed, 0);
    SetIntVar(var::VnavEngaged, 0);
    SetIntVar(var::LnavEngaged, 0);
    SetIntVar(var::VnavArmed, 0);
    SetIntVar(var::LnavArmed, 0);
    SetIntVar(var::ActivePoint, -1);
}

}  // namespace

void ProcessFlightPlan() {
    if (++fmcState.planCycleCount < 2) return;
    fmcState.planCycleCount = 0;
    FmcDebug("ProcessFlightPlan() - begin\n");

    if (!HasActivePoint(GetIntVar(var::ActivePoint))) {
        FmcDebug("ProcessFlightPlan() - negative index, returning\n");
        return;
    }

    const double latitude = GetRealVar(var::Latitude);
    const double longitude = GetRealVar(var::Longitude);
    const std::int32_t count = ValidPointCount(fmcState.plan);
    // Always from point 0: the lowest point within the radius decides.
    std::int32_t found = -1;
    for (std::int32_t i = 0; i < count; ++i) {
        const FlightPoint& p = fmcState.plan.points[i];
        if (GreatCircleDistance(latitude, longitude, p.latitude, p.longitude) <
            kSequencingRadiusNm) {
            found = i;
            break;
        }
    }
    if (found < 0) {
        FmcDebug("ProcessFlightPlan() - No point found, returning\n");
        return;
    }
    FmcDebugf("Point: %d found in FP\n", found);

    if (found == count - 1) {
        if (!HasActivePoint(GetIntVar(var::ActivePoint))) {
            FmcDebug("ProcessFlightPlan() - FP end previously noted\n");
            return;
        }
        EndFlightPlan();
        return;
    }

    if (found + 1 == GetIntVar(var::ActivePoint) && GetIntVar(var::PlanFollowed) != 0) {
        FmcDebug("ProcessFlightPlan() - point previously processed, returning\n");
        return;
    }
    // Passing near point k: fly the leg from k to k + 1.
    ActivateFlightPoint(found + 1, fmcState.plan.points[found].course);
}

void ActivateFlightPoint(std::int32_t index, double course) {
    FmcDebugf("ActivateFlightPoint() - Index: %d\n", index);
    const FlightPoint* p = PlanPoint(index);
    if (p == nullptr) return;

    SetRealVar(var::PointSpeed, p->speed);
    SetRealVar(var::PointAltitude, p->altitude);
    SetRealVar(var::PointLatitude, p->latitude);
    SetRealVar(var::PointLongitude, p->longitude);
    SetIntVar(var::PlanFollowed, 1);
    SetRealVar(var::LegCourse, course);
    SetIntVar(var::ActivePoint, index);

    SetNavCourses(index);

    // Two tunings now; the guidance pass later in this cycle makes the third.
    fmcState.radioTuneCount = 0;
    ProcessRadios(index);
    ProcessRadios(index);

    ProcessSpeedTarget(index);
    ProcessAltitudeTarget(index);
}

void SetNavCourses(std::int32_t index) {
    const FlightPoint* p = PlanPoint(index);
    if (p == nullptr) return;
    // The read-back course is a real; the 0.0001 keeps 89.99999 from reading as 89.
    if (p->nav1Course >= 0 &&
        TruncateToInt(GetRealVar(var::CaptCourse) + 0.0001) != p->nav1Course) {
        SetAndConfirm(var::CaptSetCourse, p->nav1Course);
    }
    if (p->nav2Course >= 0 && TruncateToInt(GetRealVar(var::FoCourse) + 0.0001) != p->nav2Course) {
        SetAndConfirm(var::FoSetCourse, p->nav2Course);
    }
}

void ProcessSpeedTarget(std::int32_t index) {
    const FlightPoint* p = PlanPoint(index);
    if (p == nullptr) return;
    const std::int32_t s = TruncateToInt(p->speed);
    // 100 knots or less is no cruise target (the plan uses it for "none").
    if (s > 100 && s != TruncateToInt(GetRealVar(var::SelSpeed) + 0.001)) {
        SetAndConfirm(var::SetSpeed, s);
        CommandPause();
    }
}

void ProcessAltitudeTarget(std::int32_t index) {
    const FlightPoint* p = PlanPoint(index);
    if (p == nullptr) return;
    const double height = GetRealVar(var::Height);
    const std::int32_t a = TruncateToInt(p->altitude);
    const std::int32_t c = TruncateToInt(GetRealVar(var::SelAltitude) + 0.001);
    // Only targets more than 100 ft above the aircraft are pushed.
    if (a != c && TruncateToInt(a - height) > 100) {
        SetAndConfirm(var::SetAltitude, a);
        CommandPause();
    }
}
