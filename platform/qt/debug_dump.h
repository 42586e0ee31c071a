// What a test outside the process can see of the windows: with
// ORV_DEBUG_DUMP=<file> the host rewrites <file> every second with one line
// per live frame, "frame <class> <visible> <active> <x> <y> <w> <h> <title>",
// then the lines of platform::DumpDialogs().
#pragma once
#include <string>

namespace platform::qthost {

std::string DumpFrames();
// Starts the periodic dump when ORV_DEBUG_DUMP is set; called by GuiInit.
void StartDebugDump();

}  // namespace platform::qthost
