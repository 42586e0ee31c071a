// Telling fast knob turning from slow: the rate of an encoder's reports.
#pragma once
#include <cstdint>

namespace boards {

// Detents per second from which a turn counts as fast.
constexpr int kFastDetentsPerSecond = 15;

struct EncoderPace {
    std::int64_t lastMs = -1;  // time of the previous report
};

// True when a report of `delta` detents at `nowMs` belongs to fast turning:
// its detents over the time since the previous report (at least the
// board's 10 ms report interval, at most a quarter second, so an isolated
// report needs 4 detents) reach kFastDetentsPerSecond.
bool FastTurn(EncoderPace* pace, std::int64_t nowMs, int delta);

}  // namespace boards
