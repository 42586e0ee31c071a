#include <initializer_list>

#include "fmc/fmc_cycle.h"
#include "fmc/fmc_state.h"
#include "link/var_access.h"

void MasterReset() {
    // Reset request, TO/GA, LNAV engaged/armed, VNAV engaged/armed, throttle
    // command, plan followed: all back to 0, in this order.
    for (const std::int32_t index : {178, 211, 217, 218, 219, 220, 179, 216}) {
        SetIntVar(index, 0);
        CommandPause();
    }
    SetIntVar(var::ActivePoint, ValidPointCount(fmcState.plan) == 0 ? -1 : 0);
    CommandPause();
    FmcDebug("MasterReset() - called\n");
}

void ProcessApproachMode() {
    if (!fmcState.approachWatcherStarted) {
        // Whatever mode is on when the watcher starts is no change.
        fmcState.approachWatcherStarted = true;
        fmcState.lastApproachMode = GetIntVar(var::Approach);
        return;
    }
    const std::int32_t mode = GetIntVar(var::Approach);
    if (mode == fmcState.lastApproachMode) return;

    // The approach takes over (or is left by hand): hold the present altitude
    // and stop flying the plan.
    SetIntVar(var::SetAltitude, TruncateToInt(GetRealVar(var::Altitude)));
    CommandPause();
    for (const std::int32_t index : {219, 217, 220, 218, 216}) {
        SetIntVar(index, 0);
        CommandPause();
    }
    SetIntVar(var::ActivePoint, -1);
    CommandPause();
    fmcState.lastApproachMode = mode;
}
