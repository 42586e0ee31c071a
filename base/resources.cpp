#include "base/resources.h"

#include <cstdio>

#include "base/fatal.h"
#include "base/log.h"

ResourceHandle RegisterResource(const char* label) {
    ResourceHandle h = platform::CreateMutex(label);
    if (h == nullptr) FatalStop(7765, "RegisterResource() - NULL Mutex handle\n");
    return h;
}

bool GetResource(ResourceHandle handle) {
    if (handle != nullptr && handle->Wait() == platform::WaitResult::Acquired) return true;
    WriteLog("Get Resource() - Mutex wait timed out\n");
    return false;
}

void ReleaseResource(ResourceHandle handle) {
    if (handle == nullptr || !handle->Release()) {
        char line[100];
        std::snprintf(line, sizeof line, "Internal Error: %d\n", 1001);
        FatalStop(1001, line);
    }
}
