#include "panels/update_thread.h"

#include "link/shown_vars.h"
#include "panels/panel_table.h"
#include "model/panel_model_writer.h"
#include "platform/stop_signal.h"

namespace {

constexpr int kStartDelayMs = 3000;  // let the link fill the table first
// Never fewer than three refreshes a second, never more than twenty, and
// browsers and boards get every one. A lone change shows at once; values
// that change at every datagram (in flight) reach the windows four times a
// second, which costs the GUI thread about what the old three did and not
// the twenty repaints a second no eye follows.
constexpr model::RefreshPace kPace{333, 50, 0, 1, 4, 4};

void RefreshPanels(model::PanelModel& model) {
    const ShownReads shown;  // what the refresh reads is what the panels show
    for (int panel = 0; panel < panels::kPanelCount; ++panel)
        panels::PanelRow(static_cast<panels::PanelIndex>(panel)).refresh(model::RefreshDialog(model, panel));
}

}  // namespace

void RefreshCycle(model::PanelModel& model) {
    RefreshPanels(model);
    model::PublishCycle(model);
}

void UpdateThread(platform::StopSignal& stop, model::PanelModel& model, const platform::Clock& clock) {
    if (!stop.Sleep(kStartDelayMs, clock)) return;
    while (!stop.Requested()) {
        // Early when a shown variable changed or a panel was operated.
        const model::RefreshWake wake = model::WaitForRefresh(model, kPace, clock);
        RefreshPanels(model);
        model::PublishCycle(model, kPace, wake);
    }
}
