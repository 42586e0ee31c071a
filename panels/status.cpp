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

// Variables.
constexpr int kVarHeading = 6;
constexpr int kVarBarometer = 7;
constexpr int kVarSpeed = 8;
constexpr int kVarGear = 47;
constexpr int kVarAltitude = 54;
constexpr int kVarFlaps = 72;
constexpr int kVarPause = 185;
constexpr int kVarFrameRates = 194;
constexpr int kVarNetStats = 195;
constexpr int kVarTotalCMsgs = 233;
constexpr int kVarMissedCMsgs = 234;

const char* OnOff(std::int32_t value) { return value != 0 ? "ON " : "OFF "; }

}  // namespace

void UpdateStatus(platform::Dialog* dialog) {
    using panels::TruncateReal;
    using panels::WriteText;
    if (dialog == nullptr) return;

    WriteText(dialog, kTotalLMsgs, "%5d ", totalDatagrams.load(std::memory_order_relaxed));
    WriteText(dialog, kMissedLMsgs, "%5d ", missedDatagrams.load(std::memory_order_relaxed));
    WriteText(dialog, kHeading, "%3d ", TruncateReal(GetRealVar(kVarHeading)));
    WriteText(dialog, kAltitude, "%5d ", TruncateReal(GetRealVar(kVarAltitude)));
    WriteText(dialog, kSpeed, "%3d ", TruncateReal(GetRealVar(kVarSpeed)));
    WriteText(dialog, kTotalCMsgs, "%5d ", GetIntVar(kVarTotalCMsgs));
    WriteText(dialog, kMissedCMsgs, "%5d ", GetIntVar(kVarMissedCMsgs));
    WriteText(dialog, kFrameRates, "%s", OnOff(GetIntVar(kVarFrameRates)));
    WriteText(dialog, kNetStats, "%s", OnOff(GetIntVar(kVarNetStats)));
    // Pause reads the other way round from the two switches above.
    WriteText(dialog, kPause, "%s", GetIntVar(kVarPause) != 0 ? "OFF " : "ON ");

    const std::int32_t flaps = GetIntVar(kVarFlaps);
    if (flaps == 0) {
        WriteText(dialog, kFlaps, "%s", "UP");
    } else {
        WriteText(dialog, kFlaps, "detent %d ", flaps);
    }
    WriteText(dialog, kGear, "%s", GetIntVar(kVarGear) != 0 ? "DOWN" : "UP");
    WriteText(dialog, kBarometer, "%5.2f ", GetRealVar(kVarBarometer));
}

bool DlgProcStatus(platform::Dialog* dialog, const platform::DialogMsg& msg) {
    if (dialog == nullptr) return false;
    return msg.kind == platform::DialogMsgKind::Init;
}
