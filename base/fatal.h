// Fatal stops: the log line (if any) is on disk before the process ends
// with exactly the given code, whatever other threads are doing.
#pragma once

// Writes `line` (when not null) with WriteLog, then ends the process.
[[noreturn]] void FatalStop(int code, const char* line);
// The same with a levelled line.
[[noreturn]] void FatalStopLevel(int level, int code, const char* line);
