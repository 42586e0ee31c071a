#include "panels/navdisp.h"

#include "base/log.h"
#include "link/var_access.h"
#include "panels/cockpit_rules.h"
#include "panels/keymap.h"
#include "panels/panel_echo.h"
#include "panels/panel_text.h"
#include "panels/windows.h"
#include "resources/resource.h"

namespace {

using panels::WriteCheck;
using panels::WriteText;

// Fields and push buttons.
constexpr int kCaptMode = IDC_CAPT_MODE;
constexpr int kFoMode = IDC_FO_MODE;
constexpr int kCaptCourse = IDC_CAPT_COURSE;
constexpr int kFoCourse = IDC_FO_COURSE;
constexpr int kCaptRange = IDC_CAPT_RANGE;
constexpr int kFoRange = IDC_FO_RANGE;
constexpr int kCaptNextMode = IDC_CAPT_NEXT_MODE;
constexpr int kFoNextMode = IDC_FO_NEXT_MODE;

// Up-downs.
constexpr int kCaptRangeSpin = IDC_CAPT_RANGE_SPIN;
constexpr int kFoRangeSpin = IDC_FO_RANGE_SPIN;
constexpr int kCaptCourseCoarse = IDC_CAPT_COURSE_COARSE;
constexpr int kCaptCourseFine = IDC_CAPT_COURSE_FINE;
constexpr int kFoCourseCoarse = IDC_FO_COURSE_COARSE;
constexpr int kFoCourseFine = IDC_FO_COURSE_FINE;

constexpr int kMaxSpinId = 2008;

constexpr int kModeCount = 4;

const char* const kModeNames[kModeCount] = {"Exp Map", "Exp Map Arc", "Exp Vor", "Exp APP"};
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

void NextMode(std::int32_t modeVar) {
    const std::int64_t next = static_cast<std::int64_t>(GetIntVar(modeVar)) + 1;
    KeyCRi(modeVar, next < kModeCount ? panels::ClampToInt32(next) : 0);
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
    if (id == kCaptNextMode) {
        NextMode(var::CaptMode);
        handled = true;
    } else if (id == kFoNextMode) {
        NextMode(var::FoMode);
        handled = true;
    }
    if (handled) dialog->FocusHost();
    return handled;
}

// Shows the new course at once; the next refresh sends it.
void StepCourse(platform::Dialog* dialog, int field, std::int64_t change,
                std::atomic<bool>& pending, std::atomic<std::int32_t>& pendingCourse) {
    std::int64_t course = panels::ShownValue(dialog, field) + change;
    if (course > 360) course -= 360;
    if (course < 0) course += 360;
    const std::int32_t value = panels::ClampToInt32(course);
    panels::HoldValue(pendingCourse, pending, value);
    WriteText(dialog, field, " %d ", value);
}

}  // namespace

void UpdateNavDisp(platform::Dialog* dialog) {
    if (dialog == nullptr) return;
    for (const BoxVar& check : kShownChecks) WriteCheck(dialog, check.id, GetIntVar(check.index));

    WriteName(dialog, kCaptRange, GetIntVar(var::CaptRange), kRangeNames, panels::kRangeCount);
    WriteName(dialog, kFoRange, GetIntVar(var::FoRange), kRangeNames, panels::kRangeCount);
    WriteName(dialog, kCaptMode, GetIntVar(var::CaptMode), kModeNames, kModeCount);
    WriteName(dialog, kFoMode, GetIntVar(var::FoMode), kModeNames, kModeCount);

    RefreshCourse(dialog, kCaptCourse, var::CaptCourse, var::CaptSetCourse,
                  PanelEcho.courseCaptPending, PanelEcho.pendingCourseCapt);
    RefreshCourse(dialog, kFoCourse, var::FoCourse, var::FoSetCourse, PanelEcho.courseFOPending,
                  PanelEcho.pendingCourseFO);
}

bool DlgProcNavDisp(platform::Dialog* dialog, const platform::DialogMsg& msg) {
    if (dialog == nullptr) return false;
    switch (msg.kind) {
        case platform::DialogMsgKind::DeltaPos:
            if (msg.controlId > kMaxSpinId) return false;
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
    const std::int64_t steps = panels::StepsOf(delta);
    switch (controlId) {
        case kCaptRangeSpin:
            panels::StepRange(var::CaptRange, steps);
            break;
        case kFoRangeSpin:
            panels::StepRange(var::FoRange, steps);
            break;
        case kCaptCourseCoarse:
            StepCourse(dialog, kCaptCourse, 10 * steps, PanelEcho.courseCaptPending,
                       PanelEcho.pendingCourseCapt);
            break;
        case kCaptCourseFine:
            StepCourse(dialog, kCaptCourse, steps, PanelEcho.courseCaptPending,
                       PanelEcho.pendingCourseCapt);
            break;
        case kFoCourseCoarse:
            StepCourse(dialog, kFoCourse, 10 * steps, PanelEcho.courseFOPending,
                       PanelEcho.pendingCourseFO);
            break;
        case kFoCourseFine:
            StepCourse(dialog, kFoCourse, steps, PanelEcho.courseFOPending,
                       PanelEcho.pendingCourseFO);
            break;
        default:
            return true;  // reported handled, though nothing is done
    }
    dialog->FocusHost();
    return true;
}
