// The FMC thread: once a second it copies the flight plan and runs its steps.
#pragma once

bool InitFMC();
namespace platform {
class StopSignal;
struct Clock;
}

// Thread entry: the start, then a cycle a second until `stop` is requested,
// sleeping and reading the wall clock on `clock`.
void FMCThread(platform::StopSignal& stop, const platform::Clock& clock);
