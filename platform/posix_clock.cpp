#include <chrono>
#include <ctime>
#include <thread>

#include "platform/system.h"
#include "platform/time.h"

namespace platform {

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

void SystemSleepMs(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace platform
