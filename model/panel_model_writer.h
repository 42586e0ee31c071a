// The panel model's writing side: the handles the refresh and the panel
// procedures write through, the cycle's publication, the windows that show
// panels, and the refresh's wake-up. model/panel_model.h is what the
// front-ends read.
#pragma once
#include "model/panel_model.h"
#include "model/refresh_pace.h"
#include "model/window_pace.h"
#include "platform/dialog.h"
#include "platform/time.h"

namespace model {

// The refresh's handle for panel `panel`: its writes only change the model;
// PublishCycle shows them.
platform::Dialog* RefreshDialog(PanelModel& model, int panel);

// Refresh thread: diffs the model against the last cycle and publishes the
// changes: one batch to every subscriber, then one hand-over to each window
// that shows a changed panel. Returns the number of changed controls.
std::size_t PublishCycle(PanelModel& model);
// The same, with the windows on `pace`'s window budget: a cycle `wake`
// brought hands the windows what changed since their last hand-over, or
// keeps it for a later cycle.
std::size_t PublishCycle(PanelModel& model, const RefreshPace& pace, RefreshWake wake);

// GUI thread: window `window` (a dialog built from a template) shows panel
// `panel` from now on; it is brought up to date at once, and its messages
// come to the model, which hands a Command or DeltaPos to the panel that has
// the control, anything else to each panel it shows (with the model's
// handle), as PostPanelCommand does; first the model takes over the check
// state a click has just given a box. The combined window is attached once
// per panel.
void AttachPanelWindow(PanelModel& model, platform::Dialog* window, int panel);

// A shown variable took a new value (any thread, never waits).
void WakeRefreshForData(PanelModel& model);
// Refresh thread: returns when the next cycle is due, by `pace`, and why. On
// a virtual `clock` (a test's) it sleeps the floor there and returns.
RefreshWake WaitForRefresh(PanelModel& model, const RefreshPace& pace,
                           const platform::Clock& clock = platform::kSystemClock);

}  // namespace model
