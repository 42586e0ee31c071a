#include "base/settings.h"

#include "platform/time.h"

// Constant-initialised, so the cascade is in place before any code runs.
constinit AppSettings Settings = DefaultSettings();

std::int32_t DateStampOf(int year, int month, int day) {
    return (year % 100) * 10000 + month * 100 + day;
}

std::int32_t DateStamp() {
    const platform::Date d = platform::LocalDate();
    return DateStampOf(d.year, d.month, d.day);
}
