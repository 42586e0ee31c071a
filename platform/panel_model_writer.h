// The panel model's writing side: the handles the refresh and the panel
// procedures write through, the cycle's publication, the windows that show
// panels, and the refresh's wake-up. platform/panel_model.h is what the
// front-ends read.
#pragma once
#include "platform/dialog.h"
#include "platform/panel_model.h"

namespace platform {

// The model's handle for panel `panel` (nullptr when out of range): reads
// and writes what the model holds, from any thread. A write from a thread
// other than the refresh wakes the refresh, so that it is published soon.
// FocusHost gives the focus to the panel's window while one is open.
Dialog* PanelDialog(int panel);

// Refresh thread: diffs the model against the last cycle and publishes the
// changes: one batch to every subscriber, then one hand-over to each window
// that shows a changed panel. Returns the number of changed controls.
std::size_t PublishCycle();

// GUI thread: window `window` (a dialog built from a template) shows panel
// `panel` from now on; it is brought up to date at once. The combined
// window is attached once per panel.
void AttachPanelWindow(Dialog* window, int panel);
// GUI thread: hands a message that reached window `window` to the
// procedures of the panels it shows, with the model's handle, as
// PostPanelCommand does: a Command or DeltaPos to the panel that has the
// control, anything else to each. First the model takes over the check
// state a click has just given a box. false when `window` shows no panel.
bool RouteWindowMsg(Dialog* window, const DialogMsg& msg);

// The refresh's pace: WaitForRefresh returns after `floorMs` at the latest,
// or earlier once woken, but never sooner than `minGapMs` after it last
// returned. A wake by the pilot (WakeRefresh: a command, a procedure's
// write) is always early. A wake by data (WakeRefreshForData: a shown
// variable took a new value) spends one of `dataBurst` early cycles, which
// come back at `dataPerSecond` (0: no such limit). So a lone change shows at
// once, while values changing at every datagram in flight refresh at that
// rate, sparing the GUI thread repaints no eye follows. A pilot's wake earns
// the next data wakes, so that the node's answer to a command shows at once.
struct RefreshPace {
    int floorMs = 333;
    int minGapMs = 0;
    double dataPerSecond = 0;
    double dataBurst = 1;
};
void WakeRefresh();
void WakeRefreshForData();  // never waits (any thread)
void WaitForRefresh(const RefreshPace& pace);
// Whether the calling thread is the refresh (it has waited for a cycle).
bool OnRefreshThread();
// Wake-ups counted so far (for tests and benchmarks).
long RefreshWakeups();

// How a windowing host runs `work(context)` later on its GUI thread; callable
// from any thread, never waits. Set once when the host starts (and by tests).
using GuiPoster = void (*)(void (*work)(void*), void* context);
void SetGuiPoster(GuiPoster poster);
// Any thread, never waits: runs `work(context)` later on the GUI thread (a
// board's key action). false when no host poster is set: `work` never runs.
bool PostToGui(void (*work)(void*), void* context);

// GUI thread: true while a command that asked for Shift is delivered (the
// hosts' ShiftKeyDown answers it).
bool ShiftHeldForDelivery();

}  // namespace platform
