// The registered frame classes: a name and its frame procedure. The
// registry is the same for every windowing host; a host that must tell its
// system about a class does so through its hook.
#pragma once
#include "platform/window.h"

namespace platform {

// The procedure registered for `className`, or nullptr.
FrameProc FindFrameClass(const char* className);

// The host's hook, called once per new class name before it is kept:
// false when the system refuses the class.
bool RegisterHostFrameClass(const char* className);

}  // namespace platform
