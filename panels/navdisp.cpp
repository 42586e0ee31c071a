#include "panels/navdisp.h"

#include "base/log.h"
#include "link/var_access.h"
#include "panels/cockpit_rules.h"
#include "panels/keymap.h"
#include "panels/panel_echo.h"
#include "panels/panel_table.h"
#include "panels/panel_text.h"
#include "panels/windows.h"
#include "resources/resource.h"

namespace {

using panels::WriteCheck;
using panels::WriteText;

const char* const kModeNames[panels::kModeCount] = {"Exp Map", "Exp Map Arc", "Exp Vor", "Exp APP"};
const char* const kRangeNames[panels::kRangeCount] = {
    "5 NM", "10 NM", "20 NM", "40 NM", "80 NM", "160 NM", "320 NM", "640 NM"};

struct BoxVar {
    int id;
    std::int32_t index;
};

// Refresh order: each First Officer box before its Captain twin.
constexpr BoxVar kShownChecks[] = {
    {IDC_FO_AIRPORTS, var::FoAirports}, {IDC_CAPT_AIRPORTS, var::CaptAirports},
    {IDC_FO_NAVAIDS, var::FoNavaids}, {IDC_CAPT_NAVAIDS, var::CaptNavaids},
    {IDC_FO_WAYPOINTS, var::FoWaypoints}, {IDC_CAPT_WAYPOINTS, var::CaptWaypoints},
    {IDC_CAPT_VOR, var::CaptVorPointer}, {IDC_CAPT_ADF, var::CaptAdfPointer},
    {IDC_FO_VOR, var::FoVorPointer}, {IDC_FO_ADF, var::FoAdfPointer},
};

// Overlay boxes mirror their variable.
constexpr BoxVar kOverlays[] = {
    {IDC_CAPT_AIRPORTS, var::CaptAirports}, {IDC_CAPT_NAVAIDS, var::CaptNavaids},
    {IDC_CAPT_WAYPOINTS, var::CaptWaypoints}, {IDC_FO_AIRPORTS, var::FoAirports},
    {IDC_FO_NAVAIDS, var::FoNavaids}, {IDC_FO_WAYPOINTS, var::FoWaypoints},
};

// ADF and VOR pointers of one side exclude each other.
struct PointerPair {
    int id;
    std::int32_t own;
    std::int32_t partner;
};
constexpr PointerPair kPointers[] = {
    {IDC_CAPT_ADF, var::CaptAdfPointer, var::CaptVorPointer},
    {IDC_CAPT_VOR, var::CaptVorPointer, var::CaptAdfPointer},
    {IDC_FO_ADF, var::FoAdfPointer, var::FoVorPointer},
    {IDC_FO_VOR, var::FoVorPointer, var::FoAdfPointer},
};

void WriteName(platform::Dialog* dialog, int id, std::int32_t value, const char* const* names,
               int count) {
    // An unknown value leaves the field as it was.
    if (value < 0 || value >= count) return;
    WriteText(dialog, id, "%s", names[value]);
}

// A course the operator set is sent from here, again on every refresh, until
// the simulator reports it.
void RefreshCourse(platform::Dialog* dialog, int id, std::int32_t reportVar,
                   std::int32_t commandVar, std::atomic<bool>& pending,
                   std::atomic<std::int32_t>& pendingCourse) {
    const std::int32_t shown = panels::BiasedReal(GetRealVar(reportVar));
    const bool waiting = pending.load(std::memory_order_acquire);
    const std::int32_t held = pendingCourse.load(std::memory_order_relaxed);
    if (waiting && shown != held) {
        KeyCRi(commandVar, held);
        return;
    }
    if (waiting) panels::ReleaseHold(pending, pendingCourse, held);
    WriteText(dialog, id, "%5d ", shown);
}

bool Command(platform::Dialog* dialog, int id) {
    bool handled = false;
    for (const BoxVar& overlay : kOverlays) {
        if (overlay.id != id) continue;
        panels::SyncCheckToVar(dialog, id, overlay.index);
        handled = true;
    }
    for (const PointerPair& pair : kPointers) {
        if (pair.id != id) continue;
        if (dialog->GetItemCheck(id)) {
            if (GetIntVar(pair.own) == 0) KeyCRi(pair.own, 1);
            if (GetIntVar(pair.partner) != 0) KeyCRi(pair.partner, 0);
        } else if (GetIntVar(pair.own) != 0) {
            KeyCRi(pair.own, 0);
        }
        handled = true;
    }
    if (id == IDC_CAPT_NEXT_MODE) {
        panels::CycleMode(var::CaptMode);
        handled = true;
    } else if (id == IDC_FO_NEXT_MODE) {
        panels::CycleMode(var::FoMode);
        handled = true;
    }
    if (handled) dialog->FocusHost();
    return handled;
}

// Shows the new course at once; the next refresh sends it.
void StepCourse(platform::Dialog* dialog, int field, std::int64_t change,
                std::atomic<bool>& pending, std::atomic<std::int32_t>& pendingCourse) {
    const std::int32_t value = panels::WrapDegrees(panels::ShownValue(dialog, field) + change);
    panels::HoldValue(pendingCourse, pending, value);
    WriteText(dialog, field, " %d ", value);
}

}  // namespace

void UpdateNavDisp(platform::Dialog* dialog) {
    if (dialog == nullptr) return;
    for (const BoxVar& check : kShownChecks) WriteCheck(dialog, check.id, GetIntVar(check.index));

    WriteName(dialog, IDC_CAPT_RANGE, GetIntVar(var::CaptRange), kRangeNames, panels::kRangeCount);
    WriteName(dialog, IDC_FO_RANGE, GetIntVar(var::FoRange), kRangeNames, panels::kRangeCount);
    WriteName(dialog, IDC_CAPT_MODE, GetIntVar(var::CaptMode), kModeNames, panels::kModeCount);
    WriteName(dialog, IDC_FO_MODE, GetIntVar(var::FoMode), kModeNames, panels::kModeCount);

    RefreshCourse(dialog, IDC_CAPT_COURSE, var::CaptCourse, var::CaptSetCourse,
                  PanelEcho.courseCaptPending, PanelEcho.pendingCourseCapt);
    RefreshCourse(dialog, IDC_FO_COURSE, var::FoCourse, var::FoSetCourse, PanelEcho.courseFOPending,
                  PanelEcho.pendingCourseFO);
}

bool DlgProcNavDisp(platform::Dialog* dialog, const platform::DialogMsg& msg) {
    if (dialog == nullptr) return false;
    switch (msg.kind) {
        case platform::DialogMsgKind::DeltaPos:
            if (panels::StepperOf(panels::kNavDispPanel, msg.controlId) == nullptr) return false;
            return SpinNavDisp(dialog, msg.controlId, msg.delta);
        case platform::DialogMsgKind::KeyUp:
            WriteLog("DlgProcNavDisp KeyUp\n");
            KeyUp(navDispFrame, msg.keyCode & 0xFFFF);
            return false;
        case platform::DialogMsgKind::Command:
            return Command(dialog, msg.controlId & 0xFFFF);
        default:
            return false;
    }
}

bool SpinNavDisp(platform::Dialog* dialog, int controlId, int delta) {
    if (dialog == nullptr) return false;
    const model::PanelStepper* stepper = panels::StepperOf(panels::kNavDispPanel, controlId);
    if (stepper == nullptr) return true;  // reported handled, though nothing is done
    const std::int64_t steps = stepper->amount * panels::StepsOf(delta);
    switch (controlId) {
        case IDC_CAPT_RANGE_SPIN:
            panels::StepRange(var::CaptRange, steps);
            break;
        case IDC_FO_RANGE_SPIN:
            panels::StepRange(var::FoRange, steps);
            break;
        case IDC_CAPT_COURSE_COARSE:
            StepCourse(dialog, IDC_CAPT_COURSE, steps, PanelEcho.courseCaptPending,
                       PanelEcho.pendingCourseCapt);
            break;
        case IDC_CAPT_COURSE_FINE:
            StepCourse(dialog, IDC_CAPT_COURSE, steps, PanelEcho.courseCaptPending,
                       PanelEcho.pendingCourseCapt);
            break;
        case IDC_FO_COURSE_COARSE:
            StepCourse(dialog, IDC_FO_COURSE, steps, PanelEcho.courseFOPending,
                       PanelEcho.pendingCourseFO);
            break;
        case IDC_FO_COURSE_FINE:
            StepCourse(dialog, IDC_FO_COURSE, steps, PanelEcho.courseFOPending,
                       PanelEcho.pendingCourseFO);
            break;
        default:
            return true;  // reported handled, though nothing is done
    }
    dialog->FocusHost();
    return true;
}
