// Cockpit rules that a key and a panel control both apply, written once so
// the two cannot drift apart.
#pragma once
#include <cstdint>

namespace panels {

constexpr std::int32_t kRangeCount = 8;  // nav display ranges 0 to 7
constexpr std::int32_t kModeCount = 4;   // nav display modes 0 to 3

// Arms a navigation mode, or disarms it and drops the mode it had engaged
// (engaging is left to the FMC).
void SetArmed(std::int32_t armed, std::int32_t engaged, bool arm);

// Asks for TO/GA on or off. On is refused with the flaps up and not sent
// again while TO/GA is on; off is sent only while it is on.
void SetToga(bool on);

// Steps a nav display range. The node may report any value: step in 64 bits
// and clamp, so the result is always a range index.
void StepRange(std::int32_t index, std::int64_t steps);

// Asks for the next nav display mode after the reported one. Past the last
// mode, and from any value the node reports outside the modes (negative
// ones too), it goes to the first: the button always lands on a real mode.
void CycleMode(std::int32_t index);

// A heading or course stepped past north comes round: 360 stays 360, 0 stays
// 0, anything beyond a whole turn either way comes back into 0..360.
std::int32_t WrapDegrees(std::int64_t degrees);

}  // namespace panels
