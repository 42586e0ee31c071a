// Process-local locks whose failures are fatal stops.
#pragma once
#include "platform/sync.h"

using ResourceHandle = platform::Mutex*;

// Creates a new unowned mutex through `create`; fatal stop 7765 if it
// cannot be created.
ResourceHandle RegisterResource(const char* label, platform::MutexFactory create = &platform::NewMutex);
// Waits without limit; false (and a log line) on any outcome but acquired.
bool GetResource(ResourceHandle handle);
// Releases; fatal stop 1001 if the release fails.
void ReleaseResource(ResourceHandle handle);

// Holds a resource for a scope: waits as GetResource does (a failed wait is
// logged and holds nothing) and, only when acquired, releases as
// ReleaseResource does.
platform::ScopedLock HoldResource(ResourceHandle handle);
