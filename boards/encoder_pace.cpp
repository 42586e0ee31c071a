#include "boards/encoder_pace.h"

namespace boards {

bool FastTurn(EncoderPace* pace, std::int64_t nowMs, int delta) {
    constexpr std::int64_t kShortest = 10;
    constexpr std::int64_t kLongest = 250;
    std::int64_t elapsed = pace->lastMs < 0 ? kLongest : nowMs - pace->lastMs;
    if (elapsed < kShortest) elapsed = kShortest;
    if (elapsed > kLongest) elapsed = kLongest;
    pace->lastMs = nowMs;
    const std::int64_t detents = delta < 0 ? -static_cast<std::int64_t>(delta) : delta;
    return detents * 1000 >= kFastDetentsPerSecond * elapsed;
}

}  // namespace boards
