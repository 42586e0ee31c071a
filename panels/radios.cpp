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
constexpr FieldVar kAdfFields[] = {{1053, 227}, {1054, 229}, {1061, 228}, {1062, 230}};
constexpr FieldVar kFrequencyFields[] = {{1023, 86}, {1024, 88}, {1025, 87}, {1026, 89},
                                         {1027, 27}, {1028, 30}, {1029, 66}, {1030, 73}};

// A click on either field of a radio swaps its active and standby frequencies.
constexpr FieldVar kTransfers[] = {{1023, 90}, {1024, 90}, {1025, 91}, {1026, 91},
                                   {1027, 74}, {1028, 74}, {1029, 75}, {1030, 75}};

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
    {1063, 92, 96, 0, 0},       {1039, 94, 98, 0, 0},       // COM1 left, right
    {1064, 93, 97, 0, 0},       {1040, 95, 99, 0, 0},       // COM2
    {1065, 76, 80, 0, 0},       {1041, 78, 82, 0, 0},       // NAV1
    {1066, 77, 81, 0, 0},       {1042, 79, 83, 0, 0},       // NAV2
    {1071, 180, 182, 100, 1000}, {1057, 180, 182, 1, 10},   // ADF1
    {1075, 181, 183, 100, 1000}, {1074, 181, 183, 1, 10},   // ADF2
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
