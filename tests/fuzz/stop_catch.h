// Fatal stops as ordinary outcomes: the fuzz targets link this in place of
// base/fatal.cpp, so an intended stop ends the current input, not the fuzzer.
#pragma once

namespace fuzz {

// Runs body(context). Returns 0 when it returned, or the code of the fatal
// stop that ended it (its log line is written as usual). A stop outside
// such a run ends the process as the real one does.
int RunCatchingStops(void (*body)(void* context), void* context);

}  // namespace fuzz
