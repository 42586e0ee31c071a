#include "platform/time.h"

#include <ctime>

#include "platform/system.h"

namespace platform {

std::int64_t WallSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

void SleepMs(int milliseconds) {
    if (milliseconds > 0) SystemSleepMs(milliseconds);
}

}  // namespace platform
