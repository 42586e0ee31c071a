#include "panels/status.h"

#include "link/link_state.h"
#include "link/var_access.h"
#include "panels/panel_text.h"
#include "resources/resource.h"

namespace {

// Fields.
constexpr int kHeading = IDC_HEADING;
constexpr int kAltitude = IDC_ALTITUDE;
constexpr int kSpeed = IDC_SPEED;
constexpr int kFlaps = IDC_FLAPS;
constexpr int kGear = IDC_GEAR;
constexpr int kBarometer = IDC_BAROMETER;
constexpr int kPause = IDC_PAUSE;
constexpr int kFrameRates = IDC_FRAME_RATES;
constexpr int kNetStats = IDC_NET_STATS;
constexpr int kTotalCMsgs = IDC_TOTAL_C_MSGS;
constexpr int kMissedCMsgs = IDC_MISSED_C_MSGS;
constexpr int kTotalLMsgs = IDC_TOTAL_L_MSGS;
constexpr int kMissedLMsgs = IDC_MISSED_L_MSGS;


const char* OnOff(std::int32_t value) { return value != 0 ? "ON " : "OFF "; }

}  // namespace

void UpdateStatus(platform::Dialog* dialog) {
    using panels::TruncateReal;
    using panels::WriteText;
    if (dialog == nullptr) return;

    WriteText(dialog, kTotalLMsgs, "%5d ", totalDatagrams.load(std::memory_order_relaxed));
    WriteText(dialog, kMissedLMsgs, "%5d ", missedDatagrams.load(std::memory_order_relaxed));
    WriteText(dialog, kHeading, "%3d ", TruncateReal(GetRealVar(var::Heading)));
    WriteText(dialog, kAltitude, "%5d ", TruncateReal(GetRealVar(var::Altitude)));
    WriteText(dialog, kSpeed, "%3d ", TruncateReal(GetRealVar(var::Speed)));
    WriteText(dialog, kTotalCMsgs, "%5d ", GetIntVar(var::TotalCMsgs));
    WriteText(dialog, kMissedCMsgs, "%5d ", GetIntVar(var::MissedCMsgs));
    WriteText(dialog, kFrameRates, "%s", OnOff(GetIntVar(var::FrameRates)));
    WriteText(dialog, kNetStats, "%s", OnOff(GetIntVar(var::NetStats)));
    // Pause reads the other way round from the two switches above.
    WriteText(dialog, kPause, "%s", GetIntVar(var::PauseSwitch) != 0 ? "OFF " : "ON ");

    const std::int32_t flaps = GetIntVar(var::Flaps);
    if (flaps == 0) {
        WriteText(dialog, kFlaps, "%s", "UP");
    } else {
        WriteText(dialog, kFlaps, "detent %d ", flaps);
    }
    WriteText(dialog, kGear, "%s", GetIntVar(var::Gear) != 0 ? "DOWN" : "UP");
    WriteText(dialog, kBarometer, "%5.2f ", GetRealVar(var::Barometer));
}

bool DlgProcStatus(platform::Dialog* dialog, const platform::DialogMsg& msg) {
    if (dialog == nullptr) return false;
    return msg.kind == platform::DialogMsgKind::Init;
}
