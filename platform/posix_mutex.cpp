#include <new>
#include <pthread.h>

#include "platform/sync.h"
#include "platform/system.h"

namespace platform {
namespace {

// A POSIX mutex only ever acquires or fails.
class PosixMutex final : public Mutex {
public:
    PosixMutex() { pthread_mutex_init(&mutex_, nullptr); }
    WaitResult Wait() override {
        return pthread_mutex_lock(&mutex_) == 0 ? WaitResult::Acquired : WaitResult::Failed;
    }
    bool Release() override { return pthread_mutex_unlock(&mutex_) == 0; }

private:
    pthread_mutex_t mutex_;
};

}  // namespace

Mutex* NewSystemMutex() {
    // Never freed: resources live until the process ends.
    return new (std::nothrow) PosixMutex();
}

}  // namespace platform
