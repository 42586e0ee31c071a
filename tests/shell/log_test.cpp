// The log file: its first line, the time stamps, the percent rule, the
// fallback file, levels, and whole lines under concurrent writers.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/time.h"
#include "shell/log.h"
#include "test_env.h"

namespace {

using shelltest::Exists;
using shelltest::ReadFile;
using shelltest::SplitLines;

using LogFormat = shelltest::InTempDir;
using LogPercent = shelltest::InTempDir;
using LogFallback = shelltest::InTempDir;
using LogLevels = shelltest::InTempDir;
using LogThreads = shelltest::InTempDir;

int MsOfDay(const platform::TimeOfDay& t) {
    return ((t.hour * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond;
}

int MsOfStamp(const std::string& s) {
    return ((std::stoi(s.substr(0, 2)) * 60 + std::stoi(s.substr(3, 2))) * 60 +
            std::stoi(s.substr(6, 2))) * 1000 + std::stoi(s.substr(9, 3));
}

// The message part of a stamped line (what follows the stamp and two
// blanks); a line without a proper stamp yields a marker that no test expects.
std::string Message(const std::string& line) {
    std::string m;
    return shelltest::SplitStamped(line, &m) ? m : "<not stamped> " + line;
}

// ---------------------------------------------------------------- format

TEST_F(LogFormat, StartLogTruncatesAndWritesUnstampedFirstLine) {
    {
        std::FILE* f = std::fopen("ORVVarnoth.log", "w");
        ASSERT_NE(f, nullptr);
        std::fputs("old run line 1\nold run line 2\n", f);
        std::fclose(f);
    }
    EXPECT_TRUE(StartLog("ORVVarnoth.log"));
    EXPECT_TRUE(logStarted);
    EXPECT_STREQ(logFileName, "ORVVarnoth.log");
    EXPECT_EQ(ReadFile("ORVVarnoth.log"), "Log started.\n");
}

TEST_F(LogFormat, LaterLinesCarryStampAndTwoBlanks) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    WriteLog("Initializing Database\n");
    WriteLog("GetUdpMsg() - Connected to DB\n");
    const std::string text = ReadFile("ORVVarnoth.log");
    ASSERT_EQ(text.back(), '\n');
    const auto lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Log started.");
    std::string m1, m2;
    ASSERT_TRUE(shelltest::SplitStamped(lines[1], &m1)) << lines[1];
    ASSERT_TRUE(shelltest::SplitStamped(lines[2], &m2)) << lines[2];
    // Exactly two blanks: the stamp's own and the separator.
    EXPECT_EQ(m1, "Initializing Database");
    EXPECT_EQ(m2, "GetUdpMsg() - Connected to DB");
}

TEST_F(LogFormat, TimeStampIsLocalTimeOfDayWithMilliseconds) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int before = MsOfDay(platform::LocalTimeOfDay());
        const std::string stamp = TimeStamp();
        const int after = MsOfDay(platform::LocalTimeOfDay());
        ASSERT_EQ(stamp.size(), 13u) << "[" << stamp << "]";
        ASSERT_TRUE(shelltest::IsStampAt(stamp, 0)) << "[" << stamp << "]";
        if (after < before) continue;  // crossed midnight; try again
        const int at = MsOfStamp(stamp);
        EXPECT_GE(at, before) << stamp;
        EXPECT_LE(at, after) << stamp;
        return;
    }
    FAIL() << "clock kept crossing midnight";
}

TEST_F(LogFormat, LineStampIsTakenWhenTheLineIsWritten) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    const int before = MsOfDay(platform::LocalTimeOfDay());
    WriteLog("a\n");
    const int after = MsOfDay(platform::LocalTimeOfDay());
    const auto lines = SplitLines(ReadFile("ORVVarnoth.log"));
    ASSERT_EQ(lines.size(), 2u);
    if (after < before) GTEST_SKIP() << "crossed midnight";
    const int at = MsOfStamp(lines[1]);
    EXPECT_GE(at, before);
    EXPECT_LE(at, after);
}

TEST_F(LogFormat, MessageWithoutLineBreakRunsIntoNextStamp) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    WriteLog("InitUdp() - gethostname failure");
    WriteLog("InitUdp() - next\n");
    const auto lines = SplitLines(ReadFile("ORVVarnoth.log"));
    ASSERT_EQ(lines.size(), 2u);
    const std::string first = "InitUdp() - gethostname failure";
    std::string m1, m2;
    ASSERT_TRUE(shelltest::SplitStamped(lines[1], &m1)) << lines[1];
    ASSERT_EQ(m1.compare(0, first.size(), first), 0) << lines[1];
    ASSERT_TRUE(shelltest::SplitStamped(m1.substr(first.size()), &m2)) << lines[1];
    EXPECT_EQ(m2, "InitUdp() - next");
}

TEST_F(LogFormat, LoggerAddsNothingElse) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    WriteLog("");
    WriteLog("x\n\n");
    const std::string text = ReadFile("ORVVarnoth.log");
    // An empty message still leaves its stamp; line breaks are the caller's.
    const auto lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 3u) << text;
    EXPECT_EQ(lines[0], "Log started.");
    std::string m1, m2;
    ASSERT_TRUE(shelltest::SplitStamped(lines[1], &m1)) << text;
    ASSERT_TRUE(shelltest::SplitStamped(m1, &m2)) << text;
    EXPECT_EQ(m2, "x");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
}

TEST_F(LogFormat, WriteLogfFormatsBeforeLogging) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    WriteLogf("InitEntry() - Duplicate Index: %d\n", 42);
    WriteLogf("%s", "user token %s stays\n");
    const auto lines = SplitLines(ReadFile("ORVVarnoth.log"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Message(lines[1]), "InitEntry() - Duplicate Index: 42");
    EXPECT_EQ(Message(lines[2]), "user token %s stays");
}

TEST_F(LogFormat, LongNameIsBoundedNotOverrun) {
    const std::string longName(600, 'n');
    EXPECT_FALSE(StartLog(longName.c_str()));  // too long for the file system anyway
    EXPECT_EQ(std::string(logFileName), longName.substr(0, kLogFileNameSize - 1));
    EXPECT_FALSE(logStarted);
}

// ---------------------------------------------------------------- "%%" rule

TEST(LogPercentRule, CollapsesPairsOnly) {
    EXPECT_EQ(CollapsePercents("ProcessTOGA() - Setting throttle to 90%%\n"),
              "ProcessTOGA() - Setting throttle to 90%\n");
    EXPECT_EQ(CollapsePercents("%s"), "%s");
    EXPECT_EQ(CollapsePercents("value %d"), "value %d");
    EXPECT_EQ(CollapsePercents("%"), "%");
    EXPECT_EQ(CollapsePercents("%%"), "%");
    EXPECT_EQ(CollapsePercents("%%%"), "%%");
    EXPECT_EQ(CollapsePercents("%%%%"), "%%");
    EXPECT_EQ(CollapsePercents("a%b%%c%"), "a%b%c%");
    EXPECT_EQ(CollapsePercents("%n%x%p\\n"), "%n%x%p\\n");
    EXPECT_EQ(CollapsePercents(""), "");
}

TEST_F(LogPercent, AppliedToLoggedMessagesAndNothingElseInterpreted) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    WriteLog("ProcessTOGA() - Setting throttle to 90%%\n");
    WriteLog("token %s here\n");
    WriteLog("lone %d here\n");
    WriteLog("three %%% here\n");
    WriteLog("%n%n%n%s%s%s\n");  // would crash a printf-style logger
    const auto lines = SplitLines(ReadFile("ORVVarnoth.log"));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(Message(lines[1]), "ProcessTOGA() - Setting throttle to 90%");
    EXPECT_EQ(Message(lines[2]), "token %s here");
    EXPECT_EQ(Message(lines[3]), "lone %d here");
    EXPECT_EQ(Message(lines[4]), "three %% here");
    EXPECT_EQ(Message(lines[5]), "%n%n%n%s%s%s");
}

TEST_F(LogPercent, LevelledLinesFollowTheSameRule) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    WriteLogLevel(3, "rate 50%% %s\n");
    const auto lines = SplitLines(ReadFile("ORVVarnoth.log"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(Message(lines[1]), "rate 50% %s");
}

// ---------------------------------------------------------------- fallback

TEST_F(LogFallback, UncreatableLogFallsBackToDefaultLog) {
    // A directory of that name cannot be opened as a file, even by root.
    std::filesystem::create_directory("ORVVarnoth.log");
    EXPECT_FALSE(StartLog("ORVVarnoth.log"));
    EXPECT_FALSE(logStarted);
    EXPECT_STREQ(logFileName, "ORVVarnoth.log");
    EXPECT_FALSE(Exists("ORVDefault.log"));

    WriteLog("OrvVarnoth Version: 1.261206 starting.\n");
    WriteLog("Initializing Database\n");
    EXPECT_TRUE(logStarted);
    EXPECT_STREQ(logFileName, "ORVDefault.log");
    const auto lines = SplitLines(ReadFile("ORVDefault.log"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Log started.");
    EXPECT_EQ(Message(lines[1]), "OrvVarnoth Version: 1.261206 starting.");
    EXPECT_EQ(Message(lines[2]), "Initializing Database");
    EXPECT_TRUE(std::filesystem::is_directory("ORVVarnoth.log"));
}

TEST_F(LogFallback, WriteWithoutStartLogUsesDefaultLog) {
    WriteLog("first\n");
    const auto lines = SplitLines(ReadFile("ORVDefault.log"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Log started.");
    EXPECT_EQ(Message(lines[1]), "first");
}

TEST_F(LogFallback, DefaultLogIsCreatedAnewNotAppended) {
    {
        std::FILE* f = std::fopen("ORVDefault.log", "w");
        ASSERT_NE(f, nullptr);
        std::fputs("stale\n", f);
        std::fclose(f);
    }
    std::filesystem::create_directory("ORVVarnoth.log");
    EXPECT_FALSE(StartLog("ORVVarnoth.log"));
    WriteLog("fresh\n");
    const auto lines = SplitLines(ReadFile("ORVDefault.log"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Log started.");
    EXPECT_EQ(Message(lines[1]), "fresh");
}

TEST_F(LogFallback, NeitherCreatableDropsLinesAndKeepsRetrying) {
    std::filesystem::create_directory("ORVVarnoth.log");
    std::filesystem::create_directory("ORVDefault.log");
    EXPECT_FALSE(StartLog("ORVVarnoth.log"));
    for (int i = 0; i < 3; ++i) WriteLog("dropped\n");
    WriteLogLevel(9, "dropped too\n");
    EXPECT_FALSE(logStarted);
    EXPECT_TRUE(std::filesystem::is_directory("ORVDefault.log"));
    EXPECT_TRUE(std::filesystem::is_empty("ORVDefault.log"));

    // Once the fallback name can be created, the very next line starts it.
    std::filesystem::remove("ORVDefault.log");
    WriteLog("kept\n");
    EXPECT_TRUE(logStarted);
    const auto lines = SplitLines(ReadFile("ORVDefault.log"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Log started.");
    EXPECT_EQ(Message(lines[1]), "kept");
}

TEST_F(LogFallback, StartedLogThatCannotBeOpenedLosesOnlyThatLine) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    WriteLog("one\n");
    std::filesystem::rename("ORVVarnoth.log", "saved.log");
    std::filesystem::create_directory("ORVVarnoth.log");
    WriteLog("lost\n");
    // A started log never falls back: the fallback is only for a run
    // that never created a log.
    EXPECT_FALSE(Exists("ORVDefault.log"));
    std::filesystem::remove("ORVVarnoth.log");
    WriteLog("three\n");
    EXPECT_FALSE(Exists("ORVDefault.log"));

    const auto saved = SplitLines(ReadFile("saved.log"));
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(Message(saved[1]), "one");
    // Appending re-creates the file, without a new first line.
    const auto now = SplitLines(ReadFile("ORVVarnoth.log"));
    ASSERT_EQ(now.size(), 1u);
    EXPECT_EQ(Message(now[0]), "three");
}

TEST_F(LogFallback, FailedRestartKeepsStartedStateAndNewName) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    std::filesystem::create_directory("other.log");
    EXPECT_FALSE(StartLog("other.log"));
    EXPECT_TRUE(logStarted);
    EXPECT_STREQ(logFileName, "other.log");
    WriteLog("goes nowhere\n");
    EXPECT_FALSE(Exists("ORVDefault.log"));
    EXPECT_EQ(ReadFile("ORVVarnoth.log"), "Log started.\n");
}

// ---------------------------------------------------------------- levels

TEST_F(LogLevels, OnlyLevelsAtOrAboveThresholdAreWritten) {
    ASSERT_EQ(logLevel, 3);
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    WriteLogLevel(2, "level 2\n");
    WriteLogLevel(3, "level 3\n");
    WriteLogLevel(4, "Monitor() - Disconnected\n");
    WriteLogLevel(9, "level 9\n");
    WriteLogLevel(-5, "negative\n");
    WriteLogLevelf(2, "f level %d\n", 2);
    WriteLogLevelf(4, "f level %d\n", 4);
    const auto lines = SplitLines(ReadFile("ORVVarnoth.log"));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(Message(lines[1]), "level 3");
    EXPECT_EQ(Message(lines[2]), "Monitor() - Disconnected");
    EXPECT_EQ(Message(lines[3]), "level 9");
    EXPECT_EQ(Message(lines[4]), "f level 4");
}

TEST_F(LogLevels, SuppressedLineDoesNotStartFallbackLog) {
    WriteLogLevel(2, "quiet\n");
    EXPECT_FALSE(Exists("ORVDefault.log"));
    EXPECT_FALSE(logStarted);
    WriteLogLevel(3, "loud\n");
    const auto lines = SplitLines(ReadFile("ORVDefault.log"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(Message(lines[1]), "loud");
}

// ---------------------------------------------------------------- threads

constexpr int kThreads = 5;
constexpr int kLinesPerThread = 200;

// Every line must be whole, well-formed, and each thread's lines appear
// once each and in the order written.
void CheckThreadLines(const std::vector<std::string>& lines) {
    ASSERT_EQ(lines.size(), 1u + kThreads * kLinesPerThread);
    EXPECT_EQ(lines[0], "Log started.");
    std::map<int, int> next;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string m;
        ASSERT_TRUE(shelltest::SplitStamped(lines[i], &m)) << "line " << i << ": " << lines[i];
        int t = -1, n = -1;
        ASSERT_EQ(std::sscanf(m.c_str(), "Worker() - thread %d line %d", &t, &n), 2) << m;
        ASSERT_EQ(m, "Worker() - thread " + std::to_string(t) + " line " + std::to_string(n) +
                         " at 100% done");
        ASSERT_TRUE(t >= 0 && t < kThreads) << m;
        ASSERT_EQ(n, next[t]) << "thread " << t;
        next[t] = n + 1;
    }
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(next[t], kLinesPerThread) << t;
}

void RunWriters() {
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kLinesPerThread; ++i) {
                if (i % 2 == 0)
                    WriteLogf("Worker() - thread %d line %d at 100%%%% done\n", t, i);
                else
                    WriteLogLevelf(4, "Worker() - thread %d line %d at 100%%%% done\n", t, i);
            }
        });
    }
    for (auto& th : threads) th.join();
}

TEST_F(LogThreads, LinesFromSeveralThreadsNeverInterleave) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    RunWriters();
    CheckThreadLines(SplitLines(ReadFile("ORVVarnoth.log")));
}

TEST_F(LogThreads, ConcurrentFirstLinesStartTheFallbackOnce) {
    // All threads race to start "ORVDefault.log"; a second start would
    // truncate lines already written.
    RunWriters();
    CheckThreadLines(SplitLines(ReadFile("ORVDefault.log")));
}

}  // namespace
