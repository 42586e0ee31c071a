#include "platform/sync.h"

#include <atomic>

#include "platform/system.h"

namespace platform {
namespace {

std::atomic<MutexFactory> factory{nullptr};

}  // namespace

Mutex* NewMutex(const char* name) {
    MutexFactory f = factory.load(std::memory_order_acquire);
    if (f != nullptr) return f(name);
    return NewSystemMutex();
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
