// Mutexes whose waits report the outcomes callers tell apart, and the one
// scoped guard every holder of a mutex uses.
// A POSIX mutex only ever acquires or fails; a Win32 one may also be
// abandoned by a thread that ended holding it (and a fake gives any outcome).
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

// Creates a system mutex, not initially owned. `name` is informational only:
// mutexes are local to the process, so a second copy of the program never
// locks against the first. Returns nullptr on failure.
Mutex* NewMutex(const char* name);

// How a part creates its mutexes: NewMutex, or a test's fakes, handed to the
// part when it starts.
using MutexFactory = Mutex* (*)(const char* name);

// What a holder does when its wait or its release goes wrong (log, fatal
// stop...). Either may be left out.
struct LockPolicy {
    void (*onWaitFailure)(WaitResult) = nullptr;
    void (*onReleaseFailure)() = nullptr;
};

// Waits for a mutex on construction and releases it on destruction, but
// only when the wait acquired it: releasing a mutex one does not hold is
// undefined for a POSIX mutex and fails for a Win32 one. A null mutex counts as a failed wait.
// Neither copied nor moved; factories return it as a prvalue.
class ScopedLock {
public:
    ScopedLock(Mutex* mutex, LockPolicy policy);
    ~ScopedLock();
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

    bool Held() const { return held_; }
    WaitResult Result() const { return result_; }

private:
    Mutex* mutex_;
    LockPolicy policy_;
    WaitResult result_;
    bool held_;
};

}  // namespace platform
