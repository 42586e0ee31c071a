#include "platform/time.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

namespace platform {
namespace {

std::atomic<const TimeSource*> processSource{nullptr};
thread_local const TimeSource* threadSource = nullptr;

const TimeSource* ActiveSource() {
    if (threadSource != nullptr) return threadSource;
    return processSource.load(std::memory_order_acquire);
}

}  // namespace

TimeOfDay LocalTimeOfDay() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t secs = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&secs, &local);
    return TimeOfDay{local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms)};
}

Date LocalDate() {
    const std::time_t secs = std::time(nullptr);
    std::tm local{};
    localtime_r(&secs, &local);
    return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

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
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SetTimeSource(const TimeSource* source) {
    processSource.store(source, std::memory_order_release);
}

void SetThreadTimeSource(const TimeSource* source) { threadSource = source; }

}  // namespace platform
