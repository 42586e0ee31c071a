#include "panels/radios.h"

#include "link/var_access.h"
#include "panels/panel_text.h"
#include "platform/window.h"
#include "resources/resource.h"

namespace {

constexpr int kMaxSpinId = 2000;

struct FieldVar {
    int id;
    std::int32_t index;
};

// Refresh order: the ADF rows (combined template only), then COM and NAV.
constexpr FieldVar kAdfFields[] = {
    {IDC_ADF1_ACTIVE, 227}, {IDC_ADF1_STANDBY, 229}, {IDC_ADF2_ACTIVE, 228},
    {IDC_ADF2_STANDBY, 230},
};
constexpr FieldVar kFrequencyFields[] = {
    {IDC_COM1_ACTIVE, 86}, {IDC_COM1_STANDBY, 88}, {IDC_COM2_ACTIVE, 87},
    {IDC_COM2_STANDBY, 89}, {IDC_NAV1_ACTIVE, 27}, {IDC_NAV1_STANDBY, 30},
    {IDC_NAV2_ACTIVE, 66}, {IDC_NAV2_STANDBY, 73},
};

// A click on either field of a radio swaps its active and standby frequencies.
constexpr FieldVar kTransfers[] = {
    {IDC_COM1_ACTIVE, 90}, {IDC_COM1_STANDBY, 90}, {IDC_COM2_ACTIVE, 91},
    {IDC_COM2_STANDBY, 91}, {IDC_NAV1_ACTIVE, 74}, {IDC_NAV1_STANDBY, 74},
    {IDC_NAV2_ACTIVE, 75}, {IDC_NAV2_STANDBY, 75},
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
    {IDC_COM1_COARSE, 92, 96, 0, 0},       {IDC_COM1_FINE, 94, 98, 0, 0},       // COM1 left, right
    {IDC_COM2_COARSE, 93, 97, 0, 0},       {IDC_COM2_FINE, 95, 99, 0, 0},       // COM2
    {IDC_NAV1_COARSE, 76, 80, 0, 0},       {IDC_NAV1_FINE, 78, 82, 0, 0},       // NAV1
    {IDC_NAV2_COARSE, 77, 81, 0, 0},       {IDC_NAV2_FINE, 79, 83, 0, 0},       // NAV2
    {IDC_ADF1_COARSE, 180, 182, 100, 1000}, {IDC_ADF1_FINE, 180, 182, 1, 10},   // ADF1
    {IDC_ADF2_COARSE, 181, 183, 100, 1000}, {IDC_ADF2_FINE, 181, 183, 1, 10},   // ADF2
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
