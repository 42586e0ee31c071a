// Telling fast knob turning from slow, by what the board reports: its
// reports of an encoder are at least board_rules::kEncoderReportMs apart, so
// the detents one report holds came within that of each other, by the
// board's clock. A busy PC that reads the lines late changes nothing.
#pragma once
#include <cstdint>

#include "protocol/board_rules.h"

namespace boards {

// Detents per second from which a turn counts as fast: two in one report.
constexpr int kFastDetentsPerSecond = 1000 / board_rules::kEncoderReportMs;
// A single detent this soon after a fast report is the same turn going on
// (its last detent, or a hand slowing a little), not a slow one.
constexpr std::int64_t kFastGoesOnMs = 250;

struct EncoderPace {
    std::int64_t fastMs = -1;  // when the last report of two detents or more came
};

// True when a report of `delta` detents, read at `nowMs`, belongs to fast
// turning.
bool FastTurn(EncoderPace* pace, std::int64_t nowMs, int delta);

}  // namespace boards
