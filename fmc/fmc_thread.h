// The FMC thread: once a second it copies the flight plan and runs its steps.
#pragma once

bool InitFMC();
// Thread entry; the parameter is ignored and the function never returns.
void FMCThread(void* parameter);
