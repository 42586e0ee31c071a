#include "panels/keymap.h"

#include <algorithm>
#include <cstdint>

#include "link/var_access.h"

bool keyBusy = false;
bool controlHeld = false;

namespace {

constexpr int kVkF3 = kVkF1 + 2;
constexpr int kVkF4 = kVkF1 + 3;
constexpr int kVkF5 = kVkF1 + 4;
constexpr int kVkF6 = kVkF1 + 5;
constexpr int kVkF7 = kVkF1 + 6;

constexpr std::int32_t kMaxRange = 7;  // nav display ranges 0 to 7
constexpr std::int32_t kModeCount = 4; // nav display modes 0 to 3

// 0 when the variable is set, 1 when it is clear.
std::int32_t Flipped(std::int32_t index) { return GetIntVar(index) != 0 ? 0 : 1; }

void Toggle(std::int32_t index) { KeyCRi(index, Flipped(index)); }

// A command variable driven from the state it should change.
void SetFrom(std::int32_t target, std::int32_t source) { KeyCRi(target, Flipped(source)); }

// One code per direction; Control selects the other code of the pair.
void Direction(std::int32_t index, std::int32_t plain, std::int32_t withControl) {
    KeyCRi(index, controlHeld ? withControl : plain);
}

// Control widens the range, plain narrows it. The node may report any
// value: step in 64 bits and clamp, so the result is always a range index.
void StepRange(std::int32_t index) {
    const std::int64_t value = std::int64_t{GetIntVar(index)} + (controlHeld ? 1 : -1);
    KeyCRi(index, static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, kMaxRange)));
}

// Anything outside 0..2 (a reported value out of range too) cycles to mode 0.
void CycleMode(std::int32_t index) {
    const std::int32_t value = GetIntVar(index);
    KeyCRi(index, value >= 0 && value < kModeCount - 1 ? value + 1 : 0);
}

// Disarming also drops the engaged mode; arming leaves it to the FMC.
void ArmToggle(std::int32_t armed, std::int32_t engaged) {
    if (GetIntVar(armed) != 0) {
        KeyCRi(armed, 0);
        KeyCRi(engaged, 0);
    } else {
        KeyCRi(armed, 1);
    }
}

void NetStats() {
    if (GetIntVar(195) != 0) {
        KeyCRi(195, 0);
    } else {
        KeyCRi(195, 1);
        KeyCRi(194, 0);  // the two overlays share the screen
    }
}

void Pause() {
    const std::int32_t value = GetIntVar(185) != 0 ? 0 : 1;
    KeyCRi(185, value);
    KeyCRi(85, value);
}

void ToGa() {
    if (GetIntVar(211) != 0) {
        KeyCRi(211, 0);
    } else if (GetIntVar(72) != 0) {
        KeyCRi(211, 1);  // no take-off/go-around with the flaps up
    }
}

void DoKey(int key) {
    switch (key) {
    case kVkControl: controlHeld = true; break;
    case kVkLeft: Direction(106, 3, 4); break;
    case kVkUp: Direction(105, 1, 2); break;
    case kVkRight: Direction(106, 1, 2); break;
    case kVkDown: Direction(105, 3, 4); break;
    case '1': SetIntVar(208, 0); break;
    case '2': SetIntVar(208, 1); break;
    case '3': SetIntVar(208, 2); break;
    case '4': SetIntVar(208, 3); break;
    case '9': SetIntVar(209, Flipped(209)); break;
    case 'A': Toggle(25); break;
    case 'B': StepRange(190); break;
    case 'C': CycleMode(202); break;
    case 'D': SetFrom(173, 171); break;
    case 'F': Toggle(194); break;
    case 'G': Toggle(47); break;
    case 'H': Toggle(50); break;
    case 'J': ArmToggle(220, 219); break;
    case 'K': ArmToggle(218, 217); break;
    case 'L': SetFrom(108, 111); break;
    case 'N': NetStats(); break;
    case 'O': CycleMode(203); break;
    case 'P': Pause(); break;
    case 'R': SetIntVar(206, 1); break;
    case 'S': Toggle(22); break;
    case 'T': Toggle(121); break;
    case 'U': SetFrom(172, 170); break;
    case 'V': StepRange(191); break;
    case 'X': Direction(107, 1, 2); break;
    case 'Z': Direction(107, 3, 4); break;
    case kVkF3:
        SetIntVar(205, 1);
        SetIntVar(204, 1);
        break;
    case kVkF4: KeyCRi(207, GetIntVar(207) == 1 ? 2 : 1); break;
    case kVkF5: ToGa(); break;
    case kVkF6: Direction(100, 2, 1); break;
    case kVkF7: Direction(100, 4, 3); break;
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
