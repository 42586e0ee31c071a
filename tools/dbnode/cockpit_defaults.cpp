#include "tools/dbnode/cockpit_defaults.h"

#include "protocol/vars.h"

namespace dbnode {

const DefaultValue kCockpitDefaults[] = {
    // Nav displays: Captain, then First Officer
    {var::CaptMode, 0}, {var::CaptRange, 2}, {var::CaptAirports, 1}, {var::CaptNavaids, 1},
    {var::CaptWaypoints, 0}, {var::CaptVorPointer, 1}, {var::CaptAdfPointer, 0},
    {var::FoMode, 0}, {var::FoRange, 2}, {var::FoAirports, 1}, {var::FoNavaids, 1},
    {var::FoWaypoints, 0}, {var::FoVorPointer, 1}, {var::FoAdfPointer, 0},
    // Pause companion (the switch itself is the model's), frame-rate and
    // network-statistics displays
    {var::PauseCompanion, 1}, {var::FrameRates, 0}, {var::NetStats, 0},
    // Modes the FMC and the keys switch
    {var::Toga, 0}, {var::LnavEngaged, 0}, {var::LnavArmed, 0}, {var::VnavEngaged, 0},
    {var::VnavArmed, 0},
};
const int kCockpitDefaultCount = static_cast<int>(sizeof kCockpitDefaults / sizeof kCockpitDefaults[0]);

void SeedCockpitDefaults(VarStore* store) {
    for (int i = 0; i < kCockpitDefaultCount; ++i) StoreValue(store, kCockpitDefaults[i].index, kCockpitDefaults[i].value);
}

}  // namespace dbnode
