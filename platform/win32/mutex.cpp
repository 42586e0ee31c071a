// Win32 mutexes: a wait may also find the mutex abandoned by a thread that
// ended holding it.
#include <windows.h>

#include <new>

#include "platform/sync.h"
#include "platform/system.h"

namespace platform {
namespace {

class Win32Mutex final : public Mutex {
public:
    explicit Win32Mutex(HANDLE handle) : handle_(handle) {}
    WaitResult Wait() override {
        switch (WaitForSingleObject(handle_, INFINITE)) {
            case WAIT_OBJECT_0: return WaitResult::Acquired;
            case WAIT_ABANDONED: return WaitResult::Abandoned;
            case WAIT_TIMEOUT: return WaitResult::TimedOut;
            default: return WaitResult::Failed;
        }
    }
    bool Release() override { return ReleaseMutex(handle_) != 0; }

private:
    HANDLE handle_;
};

}  // namespace

Mutex* NewSystemMutex() {
    // Unnamed: a named mutex would be shared with every other copy of the
    // program on the machine, which would then lock against this one and
    // see this one's crash as an abandoned wait.
    HANDLE h = CreateMutexW(nullptr, FALSE, nullptr);
    if (h == nullptr) return nullptr;
    // Never freed: resources live until the process ends.
    Mutex* m = new (std::nothrow) Win32Mutex(h);
    if (m == nullptr) CloseHandle(h);
    return m;
}

}  // namespace platform
