#include "panels/radios.h"

#include "link/var_access.h"
#include "panels/panel_text.h"
#include "platform/window.h"

namespace {

constexpr int kMaxSpinId = 2000;

struct FieldVar {
    int id;
    std::int32_t index;
};

// Refresh order: the ADF rows (combined template only), then COM and NAV.
constexpr FieldVar kAdfFields[] = {
    {1053, var::Adf1Active}, {1054, var::Adf1Standby},
    {1061, var::Adf2Active}, {1062, var::Adf2Standby},
};
constexpr FieldVar kFrequencyFields[] = {
    {1023, var::Com1Active}, {1024, var::Com1Standby},
    {1025, var::Com2Active}, {1026, var::Com2Standby},
    {1027, var::Nav1Active}, {1028, var::Nav1Standby},
    {1029, var::Nav2Active}, {1030, var::Nav2Standby},
};

// A click on either field of a radio swaps its active and standby frequencies.
constexpr FieldVar kTransfers[] = {
    {1023, var::Com1Transfer}, {1024, var::Com1Transfer},
    {1025, var::Com2Transfer}, {1026, var::Com2Transfer},
    {1027, var::Nav1Transfer}, {1028, var::Nav1Transfer},
    {1029, var::Nav2Transfer}, {1030, var::Nav2Transfer},
};

// One up-down: the variable for each direction and, for ADF, the amount
// carried with and without Shift (0 marks a COM or NAV command, sent as 0).
struct Stepper {
    int id;
    std::int32_t upVar;
    std::int32_t downVar;
    std::int32_t amount;
    std::int32_t shiftAmount;
};
constexpr Stepper kSteppers[] = {
    {1063, var::Com1WholeUp, var::Com1WholeDown, 0, 0},
    {1039, var::Com1FractionUp, var::Com1FractionDown, 0, 0},
    {1064, var::Com2WholeUp, var::Com2WholeDown, 0, 0},
    {1040, var::Com2FractionUp, var::Com2FractionDown, 0, 0},
    {1065, var::Nav1WholeUp, var::Nav1WholeDown, 0, 0},
    {1041, var::Nav1FractionUp, var::Nav1FractionDown, 0, 0},
    {1066, var::Nav2WholeUp, var::Nav2WholeDown, 0, 0},
    {1042, var::Nav2FractionUp, var::Nav2FractionDown, 0, 0},
    {1071, var::Adf1Up, var::Adf1Down, 100, 1000},
    {1057, var::Adf1Up, var::Adf1Down, 1, 10},
    {1075, var::Adf2Up, var::Adf2Down, 100, 1000},
    {1074, var::Adf2Up, var::Adf2Down, 1, 10},
};

}  // namespace

void UpdateRadios(platform::Dialog* dialog) {
    if (dialog == nullptr) return;
    // ADF frequencies arrive in tenths of a unit.
    for (const FieldVar& f : kAdfFields) {
        panels::WriteText(dialog, f.id, "%7.1f ", (GetIntVar(f.index) + 0.001) / 10);
    }
    for (const FieldVar& f : kFrequencyFields) {
        panels::WriteText(dialog, f.id, "%7.3f ", GetRealVar(f.index));
    }
}

bool DlgProcRadios(platform::Dialog* dialog, const platform::DialogMsg& msg) {
    if (dialog == nullptr) return false;
    switch (msg.kind) {
        case platform::DialogMsgKind::DeltaPos:
            if (msg.controlId > kMaxSpinId) return false;
            return SpinRadios(dialog, msg.controlId, msg.delta);
        case platform::DialogMsgKind::Command: {
            const int id = msg.controlId & 0xFFFF;
            for (const FieldVar& t : kTransfers) {
                if (t.id != id) continue;
                KeyCRi(t.index, 0);
                dialog->FocusHost();
                return true;
            }
            return false;  // the ADF fields and everything else
        }
        default:
            return false;
    }
}

bool SpinRadios(platform::Dialog* dialog, int controlId, int delta) {
    if (dialog == nullptr) return false;
    for (const Stepper& s : kSteppers) {
        if (s.id != controlId) continue;
        // Only the direction counts: one command per notification.
        const bool up = panels::StepsOf(delta) >= 0;
        std::int32_t amount = 0;
        if (s.amount != 0) amount = platform::ShiftKeyDown() ? s.shiftAmount : s.amount;
        KeyCRi(up ? s.upVar : s.downVar, amount);
        dialog->FocusHost();
        return true;
    }
    return false;
}
