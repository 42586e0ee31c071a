// The Autopilot refresh's memory of the two check boxes it writes only on
// change. Refresh thread only; both start at -1 so the first refresh writes.
#pragma once
#include <cstdint>

extern std::int32_t lastAutopilotShown;
extern std::int32_t lastFlightDirShown;
