#include "panels/update_thread.h"

#include "panels/panel_table.h"
#include "platform/panel_model_writer.h"
#include "platform/time.h"

namespace {

constexpr int kStartDelayMs = 3000;  // let the link fill the table first
constexpr int kFloorMs = 333;        // never fewer than three refreshes a second
constexpr int kMinGapMs = 50;        // never more than twenty

}  // namespace

void RefreshCycle() {
    for (int panel = 0; panel < panels::kPanelCount; ++panel)
        panels::PanelRow(static_cast<panels::PanelIndex>(panel)).refresh(platform::PanelDialog(panel));
    platform::PublishCycle();
}

void UpdateThread() {
    platform::SleepMs(kStartDelayMs);
    for (;;) {
        // Early when a shown variable changed or a panel was operated.
        platform::WaitForRefresh(kFloorMs, kMinGapMs);
        RefreshCycle();
    }
}
