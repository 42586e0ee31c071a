#include "fmc/toga.h"

#include "fmc/fmc_state.h"
#include "link/var_access.h"
#include "base/log.h"

namespace {

constexpr double kTogaMaxGroundSpeed = 80.0;   // knots
constexpr std::int32_t kTogaThrottle = 17444;  // when TO/GA comes on
constexpr double kMinTogaThrottle = 80.0;      // percent
constexpr std::int32_t kTogaThrottleReset = 14744;
constexpr double kTogaHandOverHeight = 400.0;  // feet

// TO/GA has just changed to t.
void TogaChanged(std::int32_t t) {
    FmcDebugf("ProcessTOGA() - Changed to: %d\n", t);
    fmcState.lastToga = t;
    if (t == 0) return;
    if (GetRealVar(var::GroundSpeed) < kTogaMaxGroundSpeed) {
        WriteLog("ProcessTOGA() - Ground speed < 80\n");
        if (GetIntVar(var::SpeedHold) != 0) {
            WriteLog("ProcessTOGA() - Toga on, turning off AUTOTHRUST\n");
            SetAndConfirm(var::SpeedHold, 0);
            CommandPause();
        }
        WriteLog("ProcessTOGA() - Setting throttle to 90%%\n");
        SetAndConfirm(var::ThrottleCmd, kTogaThrottle);
        CommandPause();
    } else {
        // Already rolling fast: too late for take-off thrust.
        WriteLog("ProcessTOGA() - Ground Speed > 80. Setting TOGA to OFF\n");
        SetAndConfirm(var::Toga, 0);
    }
}

// TO/GA is on and was on at the last call.
void TogaHeld() {
    const double throttle = GetRealVar(var::ThrottlePosition);
    if (throttle < kMinTogaThrottle) {
        FmcDebugf("ProcessTOGA() - Percent throttle: %lf. Resetting\n", throttle);
        SetAndConfirm(var::ThrottleCmd, kTogaThrottleReset);
        CommandPause();
    }
    if (GetRealVar(var::Height) > kTogaHandOverHeight) {
        FmcDebug("processTOGA() - Turning TOGA off and AutoThrust on\n");
        SetAndConfirm(var::Toga, 0);
        CommandPause();
        SetAndConfirm(var::SpeedHold, 1);
    }
}

}  // namespace

void ProcessTOGA() {
    FmcDebug("ProcessTOGA() - begin\n");
    if (!fmcState.togaStarted) {
        // Switches found on at start are recorded, not acted on.
        FmcDebug("TOGA initialized\n");
        fmcState.togaStarted = true;
        fmcState.lastAutoThrust = GetIntVar(var::SpeedHold);
        fmcState.lastToga = GetIntVar(var::Toga);
        return;
    }

    const std::int32_t t = GetIntVar(var::Toga);
    if (t != fmcState.lastToga) {
        TogaChanged(t);
    } else if (t != 0) {
        TogaHeld();
    }

    // Autothrust switched on, by us or anyone: TO/GA thrust is over.
    const std::int32_t a = GetIntVar(var::SpeedHold);
    if (a != fmcState.lastAutoThrust) {
        if (a != 0) {
            FmcDebug("ProcessTOGA() - Auto Thrust turned on, turning off TO/GA\n");
            SetAndConfirm(var::Toga, 0);
        }
        fmcState.lastAutoThrust = a;
    }
}
