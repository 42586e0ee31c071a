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

}  // namespace panels
