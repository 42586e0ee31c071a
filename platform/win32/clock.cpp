// Local time and sleeping on the Win32 clock.
#include <windows.h>

#include "platform/system.h"
#include "platform/time.h"

namespace platform {

TimeOfDay LocalTimeOfDay() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return TimeOfDay{t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

Date LocalDate() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return Date{t.wYear, t.wMonth, t.wDay};
}

void SystemSleepMs(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

}  // namespace platform
