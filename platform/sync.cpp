#include "platform/sync.h"

#include "platform/system.h"

namespace platform {

Mutex* NewMutex(const char*) { return NewSystemMutex(); }

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
