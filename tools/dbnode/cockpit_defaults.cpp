#include "tools/dbnode/cockpit_defaults.h"

namespace dbnode {

const DefaultValue kCockpitDefaults[] = {
    // Nav displays: Captain, then First Officer
    {202, 0}, {191, 2}, {199, 1}, {200, 1}, {201, 0}, {223, 1}, {224, 0},
    {203, 0}, {190, 2}, {196, 1}, {197, 1}, {198, 0}, {225, 1}, {226, 0},
    // Pause companion (the switch itself is the model's), frame-rate and
    // network-statistics displays
    {85, 1}, {194, 0}, {195, 0},
    // Modes the FMC and the keys switch
    {211, 0}, {217, 0}, {218, 0}, {219, 0}, {220, 0},
};
const int kCockpitDefaultCount = static_cast<int>(sizeof kCockpitDefaults / sizeof kCockpitDefaults[0]);

void SeedCockpitDefaults(VarStore* store) {
    for (int i = 0; i < kCockpitDefaultCount; ++i) StoreValue(store, kCockpitDefaults[i].index, kCockpitDefaults[i].value);
}

}  // namespace dbnode
