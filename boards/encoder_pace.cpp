#include "boards/encoder_pace.h"

namespace boards {

bool FastTurn(EncoderPace* pace, std::int64_t nowMs, int delta) {
    if (delta >= 2 || delta <= -2) {
        pace->fastMs = nowMs;
        return true;
    }
    return pace->fastMs >= 0 && nowMs - pace->fastMs <= kFastGoesOnMs;
}

}  // namespace boards
