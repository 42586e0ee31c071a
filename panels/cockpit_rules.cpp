#include "panels/cockpit_rules.h"

#include <algorithm>

#include "link/var_access.h"

namespace panels {

void SetArmed(std::int32_t armed, std::int32_t engaged, bool arm) {
    if (arm) {
        KeyCRi(armed, 1);
    } else {
        KeyCRi(armed, 0);
        KeyCRi(engaged, 0);
    }
}

void SetToga(bool on) {
    if (on) {
        if (GetIntVar(var::Flaps) != 0 && GetIntVar(var::Toga) == 0) KeyCRi(var::Toga, 1);
    } else if (GetIntVar(var::Toga) != 0) {
        KeyCRi(var::Toga, 0);
    }
}

void StepRange(std::int32_t index, std::int64_t steps) {
    const std::int64_t range = std::int64_t{GetIntVar(index)} + steps;
    KeyCRi(index, static_cast<std::int32_t>(std::clamp<std::int64_t>(range, 0, kRangeCount - 1)));
}

void CycleMode(std::int32_t index) {
    const std::int32_t value = GetIntVar(index);
    KeyCRi(index, value >= 0 && value < kModeCount - 1 ? value + 1 : 0);
}

std::int32_t WrapDegrees(std::int64_t degrees) {
    if (degrees > 360) return static_cast<std::int32_t>((degrees - 1) % 360 + 1);
    if (degrees < 0) return static_cast<std::int32_t>((degrees % 360 + 360) % 360);
    return static_cast<std::int32_t>(degrees);
}

}  // namespace panels
