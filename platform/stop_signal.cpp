#include "platform/stop_signal.h"

#include <chrono>

namespace platform {

void StopSignal::Request() {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        stop_.store(true, std::memory_order_release);
    }
    wake_.notify_all();
}

bool StopSignal::Sleep(int milliseconds, const Clock& clock) {
    if (clock.Virtual()) {
        clock.SleepMs(milliseconds);
        return !Requested();
    }
    std::unique_lock<std::mutex> lock(mutex_);
    return !wake_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return Requested(); });
}

void StopSignal::Reset() {
    std::lock_guard<std::mutex> guard(mutex_);
    stop_.store(false, std::memory_order_release);
}

}  // namespace platform
