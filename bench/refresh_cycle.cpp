#include "bench/refresh_cycle.h"

#include "link/link_state.h"
#include "link/var_table.h"
#include "panels/autopilot.h"
#include "panels/navdisp.h"
#include "panels/radios.h"
#include "panels/status.h"

namespace benchsupport {

void ChangeEveryVariable(int cycle) {
    const platform::ScopedLock lock(DataMutex, {});
    for (std::int32_t i = 0; i < StdVarCount; ++i) {
        if (MasterType(i) == kVarInt) StoreMasterInt(i, cycle & 1);
        if (MasterType(i) == kVarReal) StoreMasterReal(i, 100 + (cycle % 64) * 1.125);
    }
    masterChanged.store(true, std::memory_order_release);
}

void RefreshCycle(platform::Dialog* dialog) {
    UpdateAutopilot(dialog);
    UpdateNavDisp(dialog);
    UpdateRadios(dialog);
    UpdateStatus(dialog);
}

}  // namespace benchsupport
