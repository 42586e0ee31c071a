#include "platform/sync.h"

#include <atomic>
#include <new>
#include <pthread.h>

namespace platform {
namespace {

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

std::atomic<MutexFactory> factory{nullptr};

}  // namespace

Mutex* CreateMutex(const char* name) {
    MutexFactory f = factory.load(std::memory_order_acquire);
    if (f != nullptr) return f(name);
    // Never freed: resources live until the process ends.
    return new (std::nothrow) PosixMutex();
}

void SetMutexFactory(MutexFactory f) { factory.store(f, std::memory_order_release); }

ScopedLock::ScopedLock(Mutex* mutex, LockPolicy policy)
    : mutex_(mutex),
      policy_(policy),
      result_(mutex != nullptr ? mutex->Wait() : WaitResult::Failed),
      held_(result_ == WaitResult::Acquired) {
    if (!held_ && policy_.onWaitFailure != nullptr) policy_.onWaitFailure(result_);
}

ScopedLock::~ScopedLock() {
    if (!held_) return;
    held_ = false;
    if (!mutex_->Release() && policy_.onReleaseFailure != nullptr) policy_.onReleaseFailure();
}

}  // namespace platform
