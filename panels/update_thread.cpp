#include "panels/update_thread.h"

#include "base/settings.h"
#include "panels/autopilot.h"
#include "panels/navdisp.h"
#include "panels/radios.h"
#include "panels/status.h"
#include "panels/windows.h"
#include "platform/time.h"

namespace {

constexpr int kStartDelayMs = 3000;  // let the link fill the table first
constexpr int kPeriodMs = 333;       // three refreshes a second

}  // namespace

void UpdateThread() {
    platform::SleepMs(kStartDelayMs);
    for (;;) {
        platform::SleepMs(kPeriodMs);
        if (Settings.singleWindow) {
            UpdateAutopilot(bigWinDialog);
            UpdateNavDisp(bigWinDialog);
            UpdateRadios(bigWinDialog);
            UpdateStatus(bigWinDialog);
        } else {
            UpdateAutopilot(autopilotDialog);
            UpdateNavDisp(navDispDialog);
            UpdateRadios(radiosDialog);
            UpdateStatus(statusDialog);
        }
    }
}
