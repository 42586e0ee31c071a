#include "panels/autopilot.h"

#include "link/var_access.h"
#include "panels/autopilot_refresh.h"
#include "panels/cockpit_rules.h"
#include "panels/panel_echo.h"
#include "panels/panel_text.h"
#include "resources/resource.h"

std::int32_t lastAutopilotShown = -1;
std::int32_t lastFlightDirShown = -1;

namespace {

using panels::BiasedReal;
using panels::WriteCheck;
using panels::WriteText;

// Check boxes.
constexpr int kFlightDir = IDC_FLIGHT_DIR;
constexpr int kAutopilot = IDC_AUTOPILOT;
constexpr int kLoc = IDC_LOC;
constexpr int kThrustArm = IDC_THRUST_ARM;
constexpr int kApp = IDC_APP;
constexpr int kToga = IDC_TOGA;
constexpr int kVnav = IDC_VNAV;
constexpr int kLnav = IDC_LNAV;
constexpr int kHeadingHold = IDC_HEADING_HOLD;
constexpr int kAltitudeHold = IDC_ALTITUDE_HOLD;
constexpr int kSpeedHold = IDC_SPEED_HOLD;

// Value fields.
constexpr int kHeadingField = IDC_SET_HEADING;
constexpr int kAltitudeField = IDC_SET_ALTITUDE;
constexpr int kSpeedField = IDC_SET_SPEED;
constexpr int kMinimumsField = IDC_MINIMUMS;

// Up-downs.
constexpr int kHeadingCoarse = IDC_HEADING_COARSE;
constexpr int kHeadingFine = IDC_HEADING_FINE;
constexpr int kAltitudeCoarse = IDC_ALTITUDE_COARSE;
constexpr int kAltitudeFine = IDC_ALTITUDE_FINE;
constexpr int kSpeedCoarse = IDC_SPEED_COARSE;
constexpr int kSpeedFine = IDC_SPEED_FINE;

constexpr int kMaxSpinId = 2000;


constexpr int kEchoTicksLimit = 10;

// Writes a check box only when its variable has changed since the last write,
// so that a click on it stays visible until the simulator answers.
void WriteCheckOnChange(platform::Dialog* dialog, int id, std::int32_t index,
                        std::int32_t& lastShown) {
    const std::int32_t value = GetIntVar(index);
    if (value == lastShown) return;
    lastShown = value;
    WriteCheck(dialog, id, value);
}

// One set-point field: a value the operator set is held on screen until the
// simulator reports it, or until the shared tick count runs out.
void RefreshHeldField(platform::Dialog* dialog, int id, const char* format, std::int32_t shown,
                      std::atomic<bool>& pending, std::atomic<std::int32_t>& pendingValue) {
    const bool waiting = pending.load(std::memory_order_acquire);
    const std::int32_t held = pendingValue.load(std::memory_order_relaxed);
    if (waiting && shown != held) {
        const std::int32_t ticks = PanelEcho.echoTicks.load(std::memory_order_relaxed) + 1;
        if (ticks >= kEchoTicksLimit) {
            PanelEcho.echoTicks.store(0, std::memory_order_relaxed);
            panels::ReleaseHold(pending, pendingValue, held);
        } else {
            PanelEcho.echoTicks.store(ticks, std::memory_order_relaxed);
        }
        return;
    }
    if (waiting) panels::ReleaseHold(pending, pendingValue, held);
    WriteText(dialog, id, format, shown);
}

std::int32_t CheckValue(platform::Dialog* dialog, int id) {
    return dialog->GetItemCheck(id) ? 1 : 0;
}

bool Command(platform::Dialog* dialog, int id) {
    switch (id) {
        case kHeadingHold:
            panels::SyncCheckToVar(dialog, id, var::HeadingHold);
            break;
        case kAltitudeHold:
            panels::SyncCheckToVar(dialog, id, var::AltitudeHold);
            break;
        case kSpeedHold:
            panels::SyncCheckToVar(dialog, id, var::SpeedHold);
            break;
        case kFlightDir:
            KeyCRi(var::FlightDirectorCmd, CheckValue(dialog, id));
            break;
        case kAutopilot:
            KeyCRi(var::AutopilotCmd, CheckValue(dialog, id));
            break;
        case kApp:
            KeyCRi(var::ApproachCmd, CheckValue(dialog, id));
            break;
        case kLoc:
            KeyCRi(var::LocaliserCmd, CheckValue(dialog, id));
            break;
        case kThrustArm:
            KeyCRi(var::ThrustArmCmd, CheckValue(dialog, id));
            break;
        case kToga:
            // With flaps up TO/GA is refused; the next refresh clears the box.
            panels::SetToga(dialog->GetItemCheck(id));
            break;
        case kVnav:
            panels::SetArmed(var::VnavArmed, var::VnavEngaged, dialog->GetItemCheck(id));
            break;
        case kLnav:
            panels::SetArmed(var::LnavArmed, var::LnavEngaged, dialog->GetItemCheck(id));
            break;
        default:
            return false;
    }
    dialog->FocusHost();
    return true;
}

std::int32_t WrapHeading(std::int64_t heading) {
    if (heading > 360) heading -= 360;
    if (heading < 0) heading += 360;
    return panels::ClampToInt32(heading);
}

std::int32_t FloorAtZero(std::int64_t value) {
    return value < 0 ? 0 : panels::ClampToInt32(value);
}

}  // namespace

void UpdateAutopilot(platform::Dialog* dialog) {
    if (dialog == nullptr) return;

    WriteText(dialog, kMinimumsField, "%4d ", panels::TruncateReal(GetRealVar(var::Minimums)));

    WriteCheck(dialog, kApp, GetIntVar(var::Approach));
    WriteCheck(dialog, kLoc, GetIntVar(var::Localiser));
    WriteCheck(dialog, kLnav, GetIntVar(var::LnavArmed));
    WriteCheck(dialog, kVnav, GetIntVar(var::VnavArmed));
    WriteCheck(dialog, kThrustArm, GetIntVar(var::ThrustArm));

    WriteCheckOnChange(dialog, kAutopilot, var::Autopilot, lastAutopilotShown);
    WriteCheckOnChange(dialog, kFlightDir, var::FlightDirector, lastFlightDirShown);

    WriteCheck(dialog, kSpeedHold, GetIntVar(var::SpeedHold));
    WriteCheck(dialog, kToga, GetIntVar(var::Toga));
    WriteCheck(dialog, kHeadingHold, GetIntVar(var::HeadingHold));
    WriteCheck(dialog, kAltitudeHold, GetIntVar(var::AltitudeHold));

    RefreshHeldField(dialog, kAltitudeField, "%5d ", BiasedReal(GetRealVar(var::SelAltitude)),
                     PanelEcho.altitudePending, PanelEcho.pendingAltitude);

    std::int32_t heading = BiasedReal(GetRealVar(var::SelHeading));
    if (heading == 360) heading = 0;
    RefreshHeldField(dialog, kHeadingField, "%3d ", heading, PanelEcho.headingPending,
                     PanelEcho.pendingHeading);

    RefreshHeldField(dialog, kSpeedField, "%3d ", BiasedReal(GetRealVar(var::SelSpeed)),
                     PanelEcho.speedPending, PanelEcho.pendingSpeed);
}

bool DlgProcAutopilot(platform::Dialog* dialog, const platform::DialogMsg& msg) {
    if (dialog == nullptr) return false;
    switch (msg.kind) {
        case platform::DialogMsgKind::DeltaPos:
            if (msg.controlId > kMaxSpinId) return false;
            return SpinAutopilot(dialog, msg.controlId, msg.delta);
        case platform::DialogMsgKind::Command:
            return Command(dialog, msg.controlId & 0xFFFF);
        default:
            return false;
    }
}

bool SpinAutopilot(platform::Dialog* dialog, int controlId, int delta) {
    if (dialog == nullptr) return false;
    const std::int64_t steps = panels::StepsOf(delta);
    switch (controlId) {
        case kHeadingCoarse:
        case kHeadingFine: {
            const std::int64_t step = controlId == kHeadingCoarse ? 10 : 1;
            const std::int32_t heading =
                WrapHeading(panels::ShownValue(dialog, kHeadingField) + step * steps);
            panels::HoldValue(PanelEcho.pendingHeading, PanelEcho.headingPending, heading);
            WriteText(dialog, kHeadingField, " %d ", heading);
            KeyCRi(var::SetHeading, heading);
            break;
        }
        case kAltitudeCoarse:
        case kAltitudeFine: {
            const std::int64_t step = controlId == kAltitudeCoarse ? 1000 : 100;
            const std::int32_t altitude =
                FloorAtZero(panels::ShownValue(dialog, kAltitudeField) + step * steps);
            panels::HoldValue(PanelEcho.pendingAltitude, PanelEcho.altitudePending, altitude);
            KeyCRi(var::SetAltitude, altitude);
            WriteText(dialog, kAltitudeField, " %d", altitude);
            break;
        }
        case kSpeedCoarse:
        case kSpeedFine: {
            const std::int64_t step = controlId == kSpeedCoarse ? 10 : 1;
            const std::int32_t speed =
                FloorAtZero(panels::ShownValue(dialog, kSpeedField) + step * steps);
            panels::HoldValue(PanelEcho.pendingSpeed, PanelEcho.speedPending, speed);
            KeyCRi(var::SetSpeed, speed);
            WriteText(dialog, kSpeedField, " %d ", speed);
            break;
        }
        default:
            return false;
    }
    dialog->FocusHost();
    return true;
}
