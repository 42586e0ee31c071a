#include "panels/status.h"

#include "link/link_state.h"
#include "link/var_access.h"
#include "panels/panel_text.h"
#include "resources/resource.h"

namespace {

const char* OnOff(std::int32_t value) { return value != 0 ? "ON " : "OFF "; }

}  // namespace

void UpdateStatus(platform::Dialog* dialog) {
    using panels::TruncateReal;
    using panels::WriteText;
    if (dialog == nullptr) return;

    WriteText(dialog, IDC_TOTAL_L_MSGS, "%5d ", totalDatagrams.load(std::memory_order_relaxed));
    WriteText(dialog, IDC_MISSED_L_MSGS, "%5d ", missedDatagrams.load(std::memory_order_relaxed));
    WriteText(dialog, IDC_HEADING, "%3d ", TruncateReal(GetRealVar(var::Heading)));
    WriteText(dialog, IDC_ALTITUDE, "%5d ", TruncateReal(GetRealVar(var::Altitude)));
    WriteText(dialog, IDC_SPEED, "%3d ", TruncateReal(GetRealVar(var::Speed)));
    WriteText(dialog, IDC_TOTAL_C_MSGS, "%5d ", GetIntVar(var::TotalCMsgs));
    WriteText(dialog, IDC_MISSED_C_MSGS, "%5d ", GetIntVar(var::MissedCMsgs));
    WriteText(dialog, IDC_FRAME_RATES, "%s", OnOff(GetIntVar(var::FrameRates)));
    WriteText(dialog, IDC_NET_STATS, "%s", OnOff(GetIntVar(var::NetStats)));
    // Pause reads the other way round from the two switches above.
    WriteText(dialog, IDC_PAUSE, "%s", GetIntVar(var::PauseSwitch) != 0 ? "OFF " : "ON ");

    const std::int32_t flaps = GetIntVar(var::Flaps);
    if (flaps == 0) {
        WriteText(dialog, IDC_FLAPS, "%s", "UP");
    } else {
        WriteText(dialog, IDC_FLAPS, "detent %d ", flaps);
    }
    WriteText(dialog, IDC_GEAR, "%s", GetIntVar(var::Gear) != 0 ? "DOWN" : "UP");
    WriteText(dialog, IDC_BAROMETER, "%5.2f ", GetRealVar(var::Barometer));
}

bool DlgProcStatus(platform::Dialog* dialog, const platform::DialogMsg& msg) {
    if (dialog == nullptr) return false;
    return msg.kind == platform::DialogMsgKind::Init;
}
