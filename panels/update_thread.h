// The refresh thread: 3000 ms, then the four panels' refresh into the panel
// model and its publication, every 333 ms at the latest and at most 20 times
// a second when woken early.
#pragma once
#include "platform/time.h"

namespace model {
class PanelModel;
}
namespace platform {
class StopSignal;
}

// One cycle: every panel's refresh, then the publication of what changed.
void RefreshCycle(model::PanelModel& model);

// Thread entry: cycles `model` until `stop` is requested, waiting on `clock`.
void UpdateThread(platform::StopSignal& stop, model::PanelModel& model,
                  const platform::Clock& clock = platform::kSystemClock);
