// A stop request that a sleeping thread hears at once, so a thread that
// waits out long periods (the monitor's 5 s, the FMC's second) can still be
// stopped and joined promptly.
#pragma once
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "platform/time.h"

namespace platform {

class StopSignal {
public:
    void Request();
    bool Requested() const { return stop_.load(std::memory_order_acquire); }
    // Sleeps up to `milliseconds` (on `clock` when it is a virtual one);
    // false when a stop was requested before or during.
    bool Sleep(int milliseconds, const Clock& clock = kSystemClock);
    // Ready for the next start.
    void Reset();

private:
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
};

}  // namespace platform
