// Time of day, dates, wall-clock seconds and sleeping.
// Every timed wait in the program goes through here so that tests can run
// timed loops on a virtual clock instead of waiting in real time.
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

// Whether SleepMs goes to a replacement clock on this thread: timed waits
// that could end early then simply sleep through it.
bool SleepIsVirtual();

// A replacement clock. Either function may be null to keep the real one.
struct TimeSource {
    std::int64_t (*wallSeconds)();
    void (*sleepMs)(int milliseconds);
};

// Process-wide replacement (nullptr restores the real clock).
void SetTimeSource(const TimeSource* source);
// Replacement for the calling thread only; takes precedence over the
// process-wide one (nullptr removes it).
void SetThreadTimeSource(const TimeSource* source);

}  // namespace platform
