#include "panels/radios.h"

#include "link/var_access.h"
#include "panels/panel_table.h"
#include "panels/panel_text.h"
#include "platform/window.h"
#include "resources/resource.h"

namespace {

struct FieldVar {
    int id;
    std::int32_t index;
};

// Refresh order: the ADF rows (combined template only), then COM and NAV.
constexpr FieldVar kAdfFields[] = {
    {IDC_ADF1_ACTIVE, var::Adf1Active}, {IDC_ADF1_STANDBY, var::Adf1Standby},
    {IDC_ADF2_ACTIVE, var::Adf2Active}, {IDC_ADF2_STANDBY, var::Adf2Standby},
};
constexpr FieldVar kFrequencyFields[] = {
    {IDC_COM1_ACTIVE, var::Com1Active}, {IDC_COM1_STANDBY, var::Com1Standby},
    {IDC_COM2_ACTIVE, var::Com2Active}, {IDC_COM2_STANDBY, var::Com2Standby},
    {IDC_NAV1_ACTIVE, var::Nav1Active}, {IDC_NAV1_STANDBY, var::Nav1Standby},
    {IDC_NAV2_ACTIVE, var::Nav2Active}, {IDC_NAV2_STANDBY, var::Nav2Standby},
};

// A click on either field of a radio swaps its active and standby frequencies.
constexpr FieldVar kTransfers[] = {
    {IDC_COM1_ACTIVE, var::Com1Transfer}, {IDC_COM1_STANDBY, var::Com1Transfer},
    {IDC_COM2_ACTIVE, var::Com2Transfer}, {IDC_COM2_STANDBY, var::Com2Transfer},
    {IDC_NAV1_ACTIVE, var::Nav1Transfer}, {IDC_NAV1_STANDBY, var::Nav1Transfer},
    {IDC_NAV2_ACTIVE, var::Nav2Transfer}, {IDC_NAV2_STANDBY, var::Nav2Transfer},
};

// One up-down: the variable for each direction (the amounts are the panel
// table's).
struct Stepper {
    int id;
    std::int32_t upVar;
    std::int32_t downVar;
};
constexpr Stepper kSteppers[] = {
    {IDC_COM1_COARSE, var::Com1WholeUp, var::Com1WholeDown},
    {IDC_COM1_FINE, var::Com1FractionUp, var::Com1FractionDown},
    {IDC_COM2_COARSE, var::Com2WholeUp, var::Com2WholeDown},
    {IDC_COM2_FINE, var::Com2FractionUp, var::Com2FractionDown},
    {IDC_NAV1_COARSE, var::Nav1WholeUp, var::Nav1WholeDown},
    {IDC_NAV1_FINE, var::Nav1FractionUp, var::Nav1FractionDown},
    {IDC_NAV2_COARSE, var::Nav2WholeUp, var::Nav2WholeDown},
    {IDC_NAV2_FINE, var::Nav2FractionUp, var::Nav2FractionDown},
    {IDC_ADF1_COARSE, var::Adf1Up, var::Adf1Down},
    {IDC_ADF1_FINE, var::Adf1Up, var::Adf1Down},
    {IDC_ADF2_COARSE, var::Adf2Up, var::Adf2Down},
    {IDC_ADF2_FINE, var::Adf2Up, var::Adf2Down},
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
            if (panels::StepperOf(panels::kRadiosPanel, msg.controlId) == nullptr) return false;
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
    const model::PanelStepper* row = panels::StepperOf(panels::kRadiosPanel, controlId);
    for (const Stepper& s : kSteppers) {
        if (s.id != controlId || row == nullptr) continue;
        // Only the direction counts: one command per notification.
        const bool up = panels::StepsOf(delta) >= 0;
        const std::int32_t amount = platform::ShiftKeyDown() ? row->shiftAmount : row->amount;
        KeyCRi(up ? s.upVar : s.downVar, amount);
        dialog->FocusHost();
        return true;
    }
    return false;
}
