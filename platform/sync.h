// Mutexes whose waits report the outcomes callers tell apart.
// A POSIX mutex only ever acquires or fails; the other outcomes exist so
// that the callers' handling of them can be exercised with a fake.
#pragma once

namespace platform {

enum class WaitResult { Acquired, Failed, TimedOut, Abandoned };

class Mutex {
public:
    virtual WaitResult Wait() = 0;  // waits without time limit
    virtual bool Release() = 0;     // false when the release failed

protected:
    ~Mutex() = default;  // mutexes live until the process ends
};

// Creates a mutex, not initially owned. `name` is informational only
// (mutexes are local to the process). Returns nullptr on failure.
Mutex* CreateMutex(const char* name);

// Replaces mutex creation (for tests); nullptr restores the real one.
using MutexFactory = Mutex* (*)(const char* name);
void SetMutexFactory(MutexFactory factory);

}  // namespace platform
