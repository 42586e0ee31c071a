#include "panels/keymap.h"

#include <cstdint>

#include "link/var_access.h"
#include "panels/cockpit_rules.h"

bool keyBusy = false;
bool controlHeld = false;

namespace {

constexpr int kVkF3 = kVkF1 + 2;
constexpr int kVkF4 = kVkF1 + 3;
constexpr int kVkF5 = kVkF1 + 4;
constexpr int kVkF6 = kVkF1 + 5;
constexpr int kVkF7 = kVkF1 + 6;

// 0 when the variable is set, 1 when it is clear.
std::int32_t Flipped(std::int32_t index) { return GetIntVar(index) != 0 ? 0 : 1; }

void Toggle(std::int32_t index) { KeyCRi(index, Flipped(index)); }

// A command variable driven from the state it should change.
void SetFrom(std::int32_t target, std::int32_t source) { KeyCRi(target, Flipped(source)); }

// One code per direction; Control selects the other code of the pair.
void Direction(std::int32_t index, std::int32_t plain, std::int32_t withControl) {
    KeyCRi(index, controlHeld ? withControl : plain);
}

void ArmToggle(std::int32_t armed, std::int32_t engaged) {
    panels::SetArmed(armed, engaged, GetIntVar(armed) == 0);
}

void NetStats() {
    if (GetIntVar(var::NetStats) != 0) {
        KeyCRi(var::NetStats, 0);
    } else {
        KeyCRi(var::NetStats, 1);
        KeyCRi(var::FrameRates, 0);  // the two overlays share the screen
    }
}

void Pause() {
    const std::int32_t value = GetIntVar(var::PauseSwitch) != 0 ? 0 : 1;
    KeyCRi(var::PauseSwitch, value);
    KeyCRi(var::PauseCompanion, value);
}

void DoKey(int key) {
    switch (key) {
    case kVkControl: controlHeld = true; break;
    case kVkLeft: Direction(var::KeyLeftRight, 3, 4); break;
    case kVkUp: Direction(var::KeyUpDown, 1, 2); break;
    case kVkRight: Direction(var::KeyLeftRight, 1, 2); break;
    case kVkDown: Direction(var::KeyUpDown, 3, 4); break;
    case '1': SetIntVar(var::KeyDigits, 0); break;
    case '2': SetIntVar(var::KeyDigits, 1); break;
    case '3': SetIntVar(var::KeyDigits, 2); break;
    case '4': SetIntVar(var::KeyDigits, 3); break;
    case '9': SetIntVar(var::Key9, Flipped(var::Key9)); break;
    case 'A': Toggle(var::AltitudeHold); break;
    case 'B': panels::StepRange(var::FoRange, controlHeld ? 1 : -1); break;
    case 'C': panels::CycleMode(var::CaptMode); break;
    case 'D': SetFrom(var::FlightDirectorCmd, var::FlightDirector); break;
    case 'F': Toggle(var::FrameRates); break;
    case 'G': Toggle(var::Gear); break;
    case 'H': Toggle(var::HeadingHold); break;
    case 'J': ArmToggle(var::VnavArmed, var::VnavEngaged); break;
    case 'K': ArmToggle(var::LnavArmed, var::LnavEngaged); break;
    case 'L': SetFrom(var::ApproachCmd, var::Approach); break;
    case 'N': NetStats(); break;
    case 'O': panels::CycleMode(var::FoMode); break;
    case 'P': Pause(); break;
    case 'R': SetIntVar(var::KeyR, 1); break;
    case 'S': Toggle(var::SpeedHold); break;
    case 'T': Toggle(var::ThrustArm); break;
    case 'U': SetFrom(var::AutopilotCmd, var::Autopilot); break;
    case 'V': panels::StepRange(var::CaptRange, controlHeld ? 1 : -1); break;
    case 'X': Direction(var::KeyXZ, 1, 2); break;
    case 'Z': Direction(var::KeyXZ, 3, 4); break;
    case kVkF3:
        SetIntVar(var::KeyF3First, 1);
        SetIntVar(var::KeyF3Second, 1);
        break;
    case kVkF4: KeyCRi(var::KeyF4, GetIntVar(var::KeyF4) == 1 ? 2 : 1); break;
    case kVkF5: panels::SetToga(GetIntVar(var::Toga) == 0); break;
    case kVkF6: Direction(var::KeyF6F7, 2, 1); break;
    case kVkF7: Direction(var::KeyF6F7, 4, 3); break;
    default: break;
    }
}

}  // namespace

void KeyDown(platform::Frame* /*window*/, int keyCode) {
    // The system repeats a held key; it acts only once until a key comes up.
    if (keyBusy) return;
    keyBusy = true;
    DoKey(keyCode & 0xFF);
}

void KeyUp(platform::Frame* /*window*/, int keyCode) {
    keyBusy = false;
    if ((keyCode & 0xFF) == kVkControl) controlHeld = false;
}
