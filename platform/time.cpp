#include "platform/time.h"

#include <atomic>
#include <ctime>

#include "platform/system.h"

namespace platform {
namespace {

std::atomic<const TimeSource*> processSource{nullptr};
thread_local const TimeSource* threadSource = nullptr;

const TimeSource* ActiveSource() {
    if (threadSource != nullptr) return threadSource;
    return processSource.load(std::memory_order_acquire);
}

}  // namespace

std::int64_t WallSeconds() {
    const TimeSource* src = ActiveSource();
    if (src != nullptr && src->wallSeconds != nullptr) return src->wallSeconds();
    return static_cast<std::int64_t>(std::time(nullptr));
}

void SleepMs(int milliseconds) {
    const TimeSource* src = ActiveSource();
    if (src != nullptr && src->sleepMs != nullptr) {
        src->sleepMs(milliseconds);
        return;
    }
    if (milliseconds > 0) SystemSleepMs(milliseconds);
}

bool SleepIsVirtual() {
    const TimeSource* src = ActiveSource();
    return src != nullptr && src->sleepMs != nullptr;
}

void SetTimeSource(const TimeSource* source) {
    processSource.store(source, std::memory_order_release);
}

void SetThreadTimeSource(const TimeSource* source) { threadSource = source; }

}  // namespace platform
