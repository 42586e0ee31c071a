#include "base/fatal.h"

#include "platform/process.h"
#include "base/log.h"

void FatalStop(int code, const char* line) {
    if (line != nullptr) WriteLog(line);
    platform::ExitProcess(code);
}

void FatalStopLevel(int level, int code, const char* line) {
    if (line != nullptr) WriteLogLevel(level, line);
    platform::ExitProcess(code);
}
