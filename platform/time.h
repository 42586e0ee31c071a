// Time of day, dates, wall-clock seconds and sleeping.
// Parts that sleep or read the wall clock are handed a Clock, so that tests
// can run their timed loops on a virtual clock instead of waiting in real time.
#pragma once
#include <cstdint>

namespace platform {

struct TimeOfDay {
    int hour;
    int minute;
    int second;
    int millisecond;
};

struct Date {
    int year;   // full year, e.g. 2026
    int month;  // 1-12
    int day;    // 1-31
};

TimeOfDay LocalTimeOfDay();
Date LocalDate();

// Whole seconds of the wall clock (64-bit, like the run-time library's time()).
std::int64_t WallSeconds();

// Sleeps the calling thread.
void SleepMs(int milliseconds);

// The clock a part is handed when it is built or started: the real one, or a
// test's virtual one. Either function may be null to keep the real one.
struct Clock {
    std::int64_t (*wallSeconds)() = nullptr;
    void (*sleepMs)(int milliseconds) = nullptr;

    std::int64_t WallSeconds() const { return wallSeconds != nullptr ? wallSeconds() : platform::WallSeconds(); }
    void SleepMs(int milliseconds) const {
        if (sleepMs != nullptr) sleepMs(milliseconds);
        else platform::SleepMs(milliseconds);
    }
    // Whether sleeps go to a replacement: timed waits that could end early
    // then simply sleep through it on this clock.
    bool Virtual() const { return sleepMs != nullptr; }
};

inline constexpr Clock kSystemClock{};

}  // namespace platform
