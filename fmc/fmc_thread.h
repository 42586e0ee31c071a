// The FMC thread: once a second it copies the flight plan and runs its steps.
#pragma once

bool InitFMC();
namespace platform {
class StopSignal;
}

// Thread entry: the start, then a cycle a second until `stop` is requested.
void FMCThread(platform::StopSignal& stop);
