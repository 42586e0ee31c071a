#include "panels/autopilot.h"

#include "link/var_access.h"
#include "panels/autopilot_refresh.h"
#include "panels/cockpit_rules.h"
#include "panels/panel_echo.h"
#include "panels/panel_table.h"
#include "panels/panel_text.h"
#include "resources/resource.h"

std::int32_t lastAutopilotShown = -1;
std::int32_t lastFlightDirShown = -1;

namespace {

using panels::BiasedReal;
using panels::WriteCheck;
using panels::WriteText;

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
        case IDC_HEADING_HOLD:
            panels::SyncCheckToVar(dialog, id, var::HeadingHold);
            break;
        case IDC_ALTITUDE_HOLD:
            panels::SyncCheckToVar(dialog, id, var::AltitudeHold);
            break;
        case IDC_SPEED_HOLD:
            panels::SyncCheckToVar(dialog, id, var::SpeedHold);
            break;
        case IDC_FLIGHT_DIR:
            KeyCRi(var::FlightDirectorCmd, CheckValue(dialog, id));
            break;
        case IDC_AUTOPILOT:
            KeyCRi(var::AutopilotCmd, CheckValue(dialog, id));
            break;
        case IDC_APP:
            KeyCRi(var::ApproachCmd, CheckValue(dialog, id));
            break;
        case IDC_LOC:
            KeyCRi(var::LocaliserCmd, CheckValue(dialog, id));
            break;
        case IDC_THRUST_ARM:
            KeyCRi(var::ThrustArmCmd, CheckValue(dialog, id));
            break;
        case IDC_TOGA:
            // With flaps up TO/GA is refused; the next refresh clears the box.
            panels::SetToga(dialog->GetItemCheck(id));
            break;
        case IDC_VNAV:
            panels::SetArmed(var::VnavArmed, var::VnavEngaged, dialog->GetItemCheck(id));
            break;
        case IDC_LNAV:
            panels::SetArmed(var::LnavArmed, var::LnavEngaged, dialog->GetItemCheck(id));
            break;
        default:
            return false;
    }
    dialog->FocusHost();
    return true;
}

std::int32_t FloorAtZero(std::int64_t value) {
    return value < 0 ? 0 : panels::ClampToInt32(value);
}

}  // namespace

void UpdateAutopilot(platform::Dialog* dialog) {
    if (dialog == nullptr) return;

    WriteText(dialog, IDC_MINIMUMS, "%4d ", panels::TruncateReal(GetRealVar(var::Minimums)));

    WriteCheck(dialog, IDC_APP, GetIntVar(var::Approach));
    WriteCheck(dialog, IDC_LOC, GetIntVar(var::Localiser));
    WriteCheck(dialog, IDC_LNAV, GetIntVar(var::LnavArmed));
    WriteCheck(dialog, IDC_VNAV, GetIntVar(var::VnavArmed));
    WriteCheck(dialog, IDC_THRUST_ARM, GetIntVar(var::ThrustArm));

    WriteCheckOnChange(dialog, IDC_AUTOPILOT, var::Autopilot, lastAutopilotShown);
    WriteCheckOnChange(dialog, IDC_FLIGHT_DIR, var::FlightDirector, lastFlightDirShown);

    WriteCheck(dialog, IDC_SPEED_HOLD, GetIntVar(var::SpeedHold));
    WriteCheck(dialog, IDC_TOGA, GetIntVar(var::Toga));
    WriteCheck(dialog, IDC_HEADING_HOLD, GetIntVar(var::HeadingHold));
    WriteCheck(dialog, IDC_ALTITUDE_HOLD, GetIntVar(var::AltitudeHold));

    RefreshHeldField(dialog, IDC_SET_ALTITUDE, "%5d ", BiasedReal(GetRealVar(var::SelAltitude)),
                     PanelEcho.altitudePending, PanelEcho.pendingAltitude);

    std::int32_t heading = BiasedReal(GetRealVar(var::SelHeading));
    if (heading == 360) heading = 0;
    RefreshHeldField(dialog, IDC_SET_HEADING, "%3d ", heading, PanelEcho.headingPending,
                     PanelEcho.pendingHeading);

    RefreshHeldField(dialog, IDC_SET_SPEED, "%3d ", BiasedReal(GetRealVar(var::SelSpeed)),
                     PanelEcho.speedPending, PanelEcho.pendingSpeed);
}

bool DlgProcAutopilot(platform::Dialog* dialog, const platform::DialogMsg& msg) {
    if (dialog == nullptr) return false;
    switch (msg.kind) {
        case platform::DialogMsgKind::DeltaPos:
            if (panels::StepperOf(panels::kAutopilotPanel, msg.controlId) == nullptr) return false;
            return SpinAutopilot(dialog, msg.controlId, msg.delta);
        case platform::DialogMsgKind::Command:
            return Command(dialog, msg.controlId & 0xFFFF);
        default:
            return false;
    }
}

bool SpinAutopilot(platform::Dialog* dialog, int controlId, int delta) {
    if (dialog == nullptr) return false;
    const model::PanelStepper* stepper = panels::StepperOf(panels::kAutopilotPanel, controlId);
    if (stepper == nullptr) return false;
    // What one step adds to the field.
    const std::int64_t change = stepper->amount * panels::StepsOf(delta);
    switch (controlId) {
        case IDC_HEADING_COARSE:
        case IDC_HEADING_FINE: {
            const std::int32_t heading = panels::WrapDegrees(panels::ShownValue(dialog, IDC_SET_HEADING) + change);
            panels::HoldValue(PanelEcho.pendingHeading, PanelEcho.headingPending, heading);
            WriteText(dialog, IDC_SET_HEADING, " %d ", heading);
            KeyCRi(var::SetHeading, heading);
            break;
        }
        case IDC_ALTITUDE_COARSE:
        case IDC_ALTITUDE_FINE: {
            const std::int32_t altitude = FloorAtZero(panels::ShownValue(dialog, IDC_SET_ALTITUDE) + change);
            panels::HoldValue(PanelEcho.pendingAltitude, PanelEcho.altitudePending, altitude);
            KeyCRi(var::SetAltitude, altitude);
            WriteText(dialog, IDC_SET_ALTITUDE, " %d", altitude);
            break;
        }
        case IDC_SPEED_COARSE:
        case IDC_SPEED_FINE: {
            const std::int32_t speed = FloorAtZero(panels::ShownValue(dialog, IDC_SET_SPEED) + change);
            panels::HoldValue(PanelEcho.pendingSpeed, PanelEcho.speedPending, speed);
            KeyCRi(var::SetSpeed, speed);
            WriteText(dialog, IDC_SET_SPEED, " %d ", speed);
            break;
        }
        default:
            return false;
    }
    dialog->FocusHost();
    return true;
}
