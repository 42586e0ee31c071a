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
    SetIntVar(216, 0);
    SetIntVar(219, 0);
    SetIntVar(217, 0);
    SetIntVar(220, 0);
    SetIntVar(218, 0);
    SetIntVar(222, -1);
}

}  // namespace

void ProcessFlightPlan() {
    if (++fmcState.planCycleCount < 2) return;
    fmcState.planCycleCount = 0;
    FmcDebug("ProcessFlightPlan() - begin\n");

    if (!HasActivePoint(GetIntVar(222))) {
        FmcDebug("ProcessFlightPlan() - negative index, returning\n");
        return;
    }

    const double latitude = GetRealVar(11);
    const double longitude = GetRealVar(12);
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
        if (!HasActivePoint(GetIntVar(222))) {
            FmcDebug("ProcessFlightPlan() - FP end previously noted\n");
            return;
        }
        EndFlightPlan();
        return;
    }

    if (found + 1 == GetIntVar(222) && GetIntVar(216) != 0) {
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

    SetRealVar(214, p->speed);
    SetRealVar(215, p->altitude);
    SetRealVar(213, p->latitude);
    SetRealVar(212, p->longitude);
    SetIntVar(216, 1);
    SetRealVar(221, course);
    SetIntVar(222, index);

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
    if (p->nav1Course >= 0 && TruncateToInt(GetRealVar(67) + 0.0001) != p->nav1Course) {
        SetAndConfirm(118, p->nav1Course);
    }
    if (p->nav2Course >= 0 && TruncateToInt(GetRealVar(68) + 0.0001) != p->nav2Course) {
        SetAndConfirm(119, p->nav2Course);
    }
}

void ProcessSpeedTarget(std::int32_t index) {
    const FlightPoint* p = PlanPoint(index);
    if (p == nullptr) return;
    const std::int32_t s = TruncateToInt(p->speed);
    // 100 knots or less is no cruise target (the plan uses it for "none").
    if (s > 100 && s != TruncateToInt(GetRealVar(17) + 0.001)) {
        SetAndConfirm(124, s);
        CommandPause();
    }
}

void ProcessAltitudeTarget(std::int32_t index) {
    const FlightPoint* p = PlanPoint(index);
    if (p == nullptr) return;
    const double height = GetRealVar(49);
    const std::int32_t a = TruncateToInt(p->altitude);
    const std::int32_t c = TruncateToInt(GetRealVar(14) + 0.001);
    // Only targets more than 100 ft above the aircraft are pushed.
    if (a != c && TruncateToInt(a - height) > 100) {
        SetAndConfirm(123, a);
        CommandPause();
    }
}
