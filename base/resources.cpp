#include "base/resources.h"

#include <cstdio>

#include "base/fatal.h"
#include "base/log.h"

namespace {

void WaitFailed(platform::WaitResult) { WriteLog("Get Resource() - Mutex wait timed out\n"); }

[[noreturn]] void ReleaseFailed() {
    char line[100];
    std::snprintf(line, sizeof line, "Internal Error: %d\n", 1001);
    FatalStop(1001, line);
}

}  // namespace

ResourceHandle RegisterResource(const char* label, platform::MutexFactory create) {
    ResourceHandle h = create(label);
    if (h == nullptr) FatalStop(7765, "RegisterResource() - NULL Mutex handle\n");
    return h;
}

bool GetResource(ResourceHandle handle) {
    if (handle != nullptr && handle->Wait() == platform::WaitResult::Acquired) return true;
    WaitFailed(platform::WaitResult::Failed);
    return false;
}

void ReleaseResource(ResourceHandle handle) {
    if (handle == nullptr || !handle->Release()) ReleaseFailed();
}

platform::ScopedLock HoldResource(ResourceHandle handle) {
    return platform::ScopedLock(handle, {&WaitFailed, &ReleaseFailed});
}
