#include "fmc/fmc_thread.h"

#include <cstring>
#include <initializer_list>

#include "fmc/fmc_cycle.h"
#include "fmc/fmc_state.h"
#include "fmc/geometry.h"
#include "fmc/guidance.h"
#include "fmc/sequencing.h"
#include "fmc/toga.h"
#include "link/flight_plan_buffer.h"
#include "link/var_access.h"
#include "platform/stop_signal.h"
#include "base/log.h"
#include "base/resources.h"


ResourceHandle fmcPlanLock = nullptr;

namespace {

constexpr int kCycleMs = 1000;

bool Pause(platform::StopSignal* stop, int milliseconds) {
    if (stop != nullptr) return stop->Sleep(milliseconds, fmcState.clock);
    fmcState.clock.SleepMs(milliseconds);
    return true;
}

}  // namespace

bool InitFMC() {
    FmcDebug("InitFMC() - called\n");
    // Mutexes live until the process ends: a cockpit started again in the
    // same process keeps the first.
    if (fmcPlanLock == nullptr) fmcPlanLock = RegisterResource("FlightMutex");
    return true;
}

bool GetFlightPlanCopy(void* destination, std::size_t length) {
    if (length != kFlightPlanSize) {
        WriteLog("GetFlightPlanCopy() - Invalid size\n");
        return false;
    }
    // A failed wait is logged by the lock; the copy is taken anyway, the
    // buffer being the only source of a plan, and nothing is released then.
    const platform::ScopedLock lock = HoldFlightMutex();
    std::memcpy(destination, flightPlanBuffer, kFlightPlanSize);
    return true;
}

bool FmcThreadStart(platform::StopSignal* stop) {
    FmcDebug("FMC is waiting for connection\n");
    if (!Pause(stop, kCycleMs)) return false;
    FmcDebug("FMC Connected\n");
    // Whatever the simulator held over from before is not ours to fly.
    for (const std::int32_t index : {211, 217, 219, 218, 220}) {
        SetAndConfirm(index, 0);
        CommandPause();
    }
    return true;
}

bool FmcCycle(platform::StopSignal* stop) {
    if (!Pause(stop, kCycleMs)) return false;
    GetFlightPlanCopy(&fmcState.plan, sizeof fmcState.plan);

    if (GetIntVar(var::ResetRequest) != 0) {
        FmcDebug("FMCThread() - Reset received from sim\n");
        MasterReset();
    }

    if (fmcState.plan.serial != fmcState.lastPlanSerial) {
        FmcDebugf("FMCThread() - Flight Plan serial has changed. Old: %d  New: %d\n",
                  fmcState.lastPlanSerial, fmcState.plan.serial);
        MasterReset();
        fmcState.lastPlanSerial = fmcState.plan.serial;
        if (ValidPointCount(fmcState.plan) > 0) {
            const FlightPoint& first = fmcState.plan.points[0];
            fmcState.initialCourse =
                InitialBearing(GetRealVar(var::Latitude), GetRealVar(var::Longitude),
                               first.latitude, first.longitude);
            ActivateFlightPoint(0, fmcState.initialCourse);
        }
    }

    if (ValidPointCount(fmcState.plan) > 0) ProcessFlightPlan();
    if (ValidPointCount(fmcState.plan) > 0) ProcessGPS();
    ProcessApproachMode();
    ProcessTOGA();
    return true;
}

void FMCThread(platform::StopSignal& stop, const platform::Clock& clock) {
    fmcState.clock = clock;
    if (!FmcThreadStart(&stop)) return;
    while (FmcCycle(&stop)) {
    }
}
