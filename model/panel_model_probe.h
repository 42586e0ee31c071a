// What tests and benchmarks reach into the panel model for; the program
// itself never includes this.
#pragma once
#include "model/panel_model.h"
#include "platform/dialog.h"

namespace model {

// The procedures' handle for panel `panel` (nullptr when out of range):
// reads and writes what the model holds. A write that changes a control
// shows in the panel's open window at once and wakes the refresh, so that
// the other views get it soon. FocusHost gives the focus to the panel's
// window while one is open.
platform::Dialog* PanelDialog(PanelModel& model, int panel);
// A pilot's wake (a command, a procedure's write): always early.
void WakeRefresh(PanelModel& model);
// Wake-ups counted so far.
long RefreshWakeups(PanelModel& model);

}  // namespace model
