#include "base/log.h"

#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include "base/thread_owner.h"
#include "platform/process.h"
#include "platform/time.h"

char logFileName[kLogFileNameSize] = "";
bool logStarted = false;
std::int32_t logLevel = 3;

namespace {

// Serialises whole lines, including the fallback start. Recursive because
// StartLog may run from inside WriteLog. Never destroyed: the count writer
// below may still wait on it while the process ends.
std::recursive_mutex& LogLock() {
    static std::recursive_mutex* const lock = new std::recursive_mutex;
    return *lock;
}

// A count still waiting for the next line is written once the log has been
// quiet this long, so a flood that simply stops is still told. By then the
// wall-clock second has passed and no further repeat could join the count.
constexpr auto kCountDelay = std::chrono::seconds(2);

// The clock StartLog was handed; read and written under LogLock.
platform::Clock logClock;

void CopyName(const char* name) {
    std::snprintf(logFileName, sizeof logFileName, "%s", name);
}

// The last line written and how often it came again within the same second,
// folded as the system log does so that a flood cannot fill the disk. Never
// destroyed: other threads may still log while the process ends.
struct LastLine {
    std::string message;
    std::int64_t second = -1;
    int repeats = 0;
    std::chrono::steady_clock::time_point repeatedAt;
};
LastLine& Last() {
    static LastLine* const last = new LastLine;
    return *last;
}

std::condition_variable_any& CountPending() {
    static std::condition_variable_any* const pending = new std::condition_variable_any;
    return *pending;
}

void AppendLine(const char* message) {
    std::FILE* f = std::fopen(logFileName, "ab");
    if (f == nullptr) return;  // the line is lost; later lines try again
    const std::string line = TimeStamp() + " " + CollapsePercents(message);
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
}

// Caller holds the lock.
void WriteCount() {
    LastLine& last = Last();
    if (last.repeats == 0) return;
    char count[64];
    std::snprintf(count, sizeof count, "Last message repeated %d times\n", last.repeats);
    AppendLine(count);
    last.repeats = 0;
}

void FlushLog() {
    std::lock_guard<std::recursive_mutex> guard(LogLock());
    WriteCount();
}

// Runs on a thread of its own until `stop` is requested.
void WriteCountsWhenQuiet(const platform::StopSignal& stop) {
    std::unique_lock<std::recursive_mutex> lock(LogLock());
    const LastLine& last = Last();
    while (!stop.Requested()) {
        if (last.repeats == 0) {
            CountPending().wait(lock);
        } else if (std::chrono::steady_clock::now() >= last.repeatedAt + kCountDelay) {
            WriteCount();
        } else {
            CountPending().wait_until(lock, last.repeatedAt + kCountDelay);
        }
    }
}

// Caller holds the lock.
void CountRepeat() {
    static bool flushSet = false;
    LastLine& last = Last();
    last.repeatedAt = std::chrono::steady_clock::now();
    if (++last.repeats > 1) return;
    if (!flushSet) {
        flushSet = true;
        platform::SetExitFlush(FlushLog);  // however the process ends
    }
    CountPending().notify_one();
}

}  // namespace

void StartLogWriter(ThreadOwner& threads) {
    threads.Start(WriteCountsWhenQuiet, [] {
        // Under the lock, so the writer is either before its check or waiting.
        std::lock_guard<std::recursive_mutex> guard(LogLock());
        CountPending().notify_all();
    });
}

std::string CollapsePercents(const char* message) {
    std::string out;
    for (const char* p = message; *p != '\0'; ++p) {
        out.push_back(*p);
        if (p[0] == '%' && p[1] == '%') ++p;
    }
    return out;
}

std::string Escaped(std::string_view text) {
    std::string out;
    for (const char c : text) out += c == '%' ? std::string_view("%%") : std::string_view(&c, 1);
    return out;
}

std::string TimeStamp() {
    const platform::TimeOfDay t = platform::LocalTimeOfDay();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d:%03d ", t.hour, t.minute, t.second,
                  t.millisecond);
    return buf;
}

bool StartLog(const char* name, const platform::Clock& clock) {
    std::lock_guard<std::recursive_mutex> guard(LogLock());
    logClock = clock;
    if (logStarted) WriteCount();  // the old file's last word
    CopyName(name);
    std::FILE* f = std::fopen(logFileName, "wb");
    if (f == nullptr) return false;
    logStarted = true;
    Last() = LastLine{};
    std::fputs("Log started.\n", f);
    std::fclose(f);
    return true;
}

void WriteLog(const char* message) {
    std::lock_guard<std::recursive_mutex> guard(LogLock());
    if (!logStarted) StartLog("ORVDefault.log", logClock);
    LastLine& last = Last();
    const std::int64_t second = logClock.WallSeconds();
    if (second == last.second && last.message == message) {
        CountRepeat();
        return;
    }
    WriteCount();
    AppendLine(message);
    last.message = message;
    last.second = second;
}

void WriteLogLevel(int level, const char* message) {
    if (level >= logLevel) WriteLog(message);
}

void WriteLogf(const char* format, ...) {
    char buf[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    WriteLog(buf);
}

void WriteLogLevelf(int level, const char* format, ...) {
    if (level < logLevel) return;
    char buf[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    WriteLog(buf);
}
