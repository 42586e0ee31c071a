// What each system provides beneath the portable platform code (internal
// to platform/: POSIX files here, Win32 ones in win32/).
#pragma once

namespace platform {

class Mutex;

// A mutex of this process alone, not initially owned; nullptr on failure.
Mutex* NewSystemMutex();

// Sleeps the calling thread on the real clock.
void SystemSleepMs(int milliseconds);

}  // namespace platform
