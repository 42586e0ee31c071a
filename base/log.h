// The application log: one time-stamped line per call, appended and closed
// at once so the file is complete on disk whenever the process ends.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/time.h"

constexpr int kLogFileNameSize = 400;  // at most 399 characters

extern char logFileName[kLogFileNameSize];
extern bool logStarted;          // written only under the logger's lock
extern std::int32_t logLevel;    // threshold for WriteLogLevel; 3

// Creates `name` anew (truncating) with "Log started.\n" as its first line.
// `clock` tells the seconds within which a repeated line is only counted.
bool StartLog(const char* name, const platform::Clock& clock = platform::kSystemClock);

// Writes the time stamp, a blank and the message. "%%" becomes "%";
// nothing else in the text is interpreted. The same message again within
// the same wall-clock second is only counted; the next line written is
// preceded by "Last message repeated N times\n". A count with no line after
// it is written within a few seconds, and before the process ends.
void WriteLog(const char* message);

class ThreadOwner;
// Starts, through `threads` (which can stop it), the thread that writes a
// pending count once the log has been quiet for a while. Until it runs, a
// count waits for the next line or for the end of the process.
void StartLogWriter(ThreadOwner& threads);

// Writes the message only when level >= logLevel.
void WriteLogLevel(int level, const char* message);

// "%02d:%02d:%02d:%03d " of the local time of day.
std::string TimeStamp();

// Formats with printf rules first, then writes through WriteLog.
void WriteLogf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void WriteLogLevelf(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The "%%" rule applied to a message (exposed for standard-output echoes).
std::string CollapsePercents(const char* message);
// Its reverse, every "%" doubled: text from outside (a browser, a file)
// then reaches the log as it was sent.
std::string Escaped(std::string_view text);
