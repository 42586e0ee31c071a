// Milliseconds of the steady clock: the one reading for ages, deadlines
// and pauses measured across threads (the link's last datagram, the web
// asks, the boards' waits). Only differences between readings mean
// anything.
#pragma once
#include <chrono>
#include <cstdint>

namespace platform {

inline std::int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace platform
