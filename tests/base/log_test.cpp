// The log file, and fatal stops that end the process after their line.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "tests/support/portable.h"
#include "platform/process.h"
#include "platform/sync.h"
#include "platform/time.h"
#include "base/log.h"
#include "base/thread_owner.h"
#include "base/resources.h"
#include "test_env.h"

namespace {

using shelltest::Lines;
using shelltest::Message;
using shelltest::Messages;
using shelltest::ReadFile;
using shelltest::Strings;
namespace fs = std::filesystem;

using Log = shelltest::InTempDir;
using FatalStopDeathTest = shelltest::InTempDir;

TEST_F(Log, FirstLineUnstampedThenStampAndTwoBlanks) {
    { std::ofstream("ORVVarnoth.log") << "old run\n"; }
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    EXPECT_EQ(ReadFile("ORVVarnoth.log"), "Log started.\n");
    WriteLog("Initializing Database\n");
    WriteLog("no line break");
    WriteLog("next\n");
    const auto lines = Lines("ORVVarnoth.log");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Message(lines[1]), "Initializing Database");
    const std::string runOn = Message(lines[2]);  // its own stamp, then the next one's
    EXPECT_EQ(runOn.substr(0, 13), "no line break");
    EXPECT_EQ(Message(runOn.substr(13)), "next");
}

TEST_F(Log, OnlyDoubledPercentIsCollapsed) {
    const std::pair<const char*, const char*> cases[] = {
        {"throttle to 90%%\n", "throttle to 90%"},
        {"token %s here\n", "token %s here"},
        {"lone %d here\n", "lone %d here"},
        {"three %%% here\n", "three %% here"},
    };
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    for (const auto& [in, out] : cases) WriteLog(in);
    Strings expected = {"Log started."};
    for (const auto& [in, out] : cases) expected.push_back(out);
    EXPECT_EQ(Messages("ORVVarnoth.log"), expected);
}

TEST_F(Log, EscapedTextReachesTheLogAsSent) {
    const char* const sent[] = {"90%%", "%", "%%%", "50% of 100%s"};
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    Strings expected = {"Log started."};
    for (const char* text : sent) {
        WriteLog(Escaped(std::string(text) + "\n").c_str());
        expected.push_back(text);
    }
    EXPECT_EQ(Messages("ORVVarnoth.log"), expected);
}

TEST_F(Log, RepeatsWithinASecondAreFoldedIntoACount) {
    static std::int64_t now = 100;
    ASSERT_TRUE(StartLog("ORVVarnoth.log", {[] { return now; }}));
    for (int i = 0; i < 1000; ++i) WriteLog("Invalid ADR MSg received. (Ignored)\n");
    for (int i = 0; i < 4; ++i) WriteLog("other\n");
    ++now;
    WriteLog("other\n");  // a new second writes it again
    WriteLog("last\n");
    EXPECT_EQ(Messages("ORVVarnoth.log"),
              (Strings{"Log started.", "Invalid ADR MSg received. (Ignored)", "Last message repeated 999 times",
                       "other", "Last message repeated 3 times", "other", "last"}));
}

TEST_F(Log, UncreatableLogFallsBackToDefaultLog) {
    fs::create_directory("ORVVarnoth.log");  // not openable as a file, even by root
    EXPECT_FALSE(StartLog("ORVVarnoth.log"));
    WriteLog("first\n");
    EXPECT_EQ(Messages("ORVDefault.log"), (Strings{"Log started.", "first"}));
}

TEST_F(Log, NeitherCreatableDropsLinesAndRetriesOnEveryLine) {
    fs::create_directory("ORVVarnoth.log");
    fs::create_directory("ORVDefault.log");
    EXPECT_FALSE(StartLog("ORVVarnoth.log"));
    WriteLog("dropped\n");
    WriteLog("dropped\n");
    EXPECT_FALSE(logStarted);
    EXPECT_TRUE(fs::is_empty("ORVDefault.log"));
    fs::remove("ORVDefault.log");
    WriteLog("kept\n");
    EXPECT_EQ(Messages("ORVDefault.log"), (Strings{"Log started.", "kept"}));
}

TEST_F(Log, OnlyLevelsFromThreeUpAreWritten) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    for (int level : {2, 3, 4, 9}) WriteLogLevelf(level, "level %d\n", level);
    WriteLogLevel(2, "level 2 again\n");
    EXPECT_EQ(Messages("ORVVarnoth.log"),
              (Strings{"Log started.", "level 3", "level 4", "level 9"}));
}

TEST_F(Log, LinesFromFiveThreadsNeverInterleave) {
    constexpr int kThreads = 5, kLines = 200;
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < kLines; ++i) WriteLogf("Worker() - thread %d line %d\n", t, i);
        });
    for (auto& th : threads) th.join();
    const auto lines = Lines("ORVVarnoth.log");
    ASSERT_EQ(lines.size(), 1u + kThreads * kLines);
    int next[kThreads] = {};
    for (std::size_t i = 1; i < lines.size(); ++i) {
        int t = -1;
        const std::string m = Message(lines[i]);
        std::sscanf(m.c_str(), "Worker() - thread %d", &t);
        ASSERT_TRUE(t >= 0 && t < kThreads) << lines[i];
        ASSERT_EQ(m, "Worker() - thread " + std::to_string(t) + " line " +
                         std::to_string(next[t]++));
    }
}

// On POSIX the parent sees only the low 8 bits of an exit code.
::testing::ExitedWithCode ExitCode(int code) { return ::testing::ExitedWithCode(testsupport::SeenExitCode(code)); }

class FailingMutex final : public platform::Mutex {
public:
    platform::WaitResult Wait() override { return platform::WaitResult::Acquired; }
    bool Release() override { return false; }
};

// Each stop's child starts the log anew, so the log holds that stop's line.
TEST_F(FatalStopDeathTest, NoMutexIs7765AndFailedReleaseIs1001) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    EXPECT_EXIT(
        {
            RegisterResource("XmtMutex", [](const char*) -> platform::Mutex* { return nullptr; });
        },
        ExitCode(7765), "");
    EXPECT_EQ(Messages("ORVVarnoth.log"),
              (Strings{"Log started.", "RegisterResource() - NULL Mutex handle"}));
    EXPECT_EXIT(
        {
            FailingMutex m;
            ReleaseResource(&m);
        },
        ExitCode(1001), "");
    EXPECT_EQ(Messages("ORVVarnoth.log"), (Strings{"Log started.", "Internal Error: 1001"}));
}

TEST_F(FatalStopDeathTest, StopEndsProcessWhileOtherThreadsWrite) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    EXPECT_EXIT(
        {
            std::atomic<int> started{0};  // numbers differ: no line is folded
            std::atomic<int> written{0};
            for (int t = 0; t < 4; ++t)  // never joined: the stop must end them
                std::thread([&] {
                    for (;;) {
                        WriteLogf("Busy() - writing %d\n", started++);
                        ++written;  // only now is the line whole in the file
                    }
                }).detach();
            // Lines on disk, not calls: each writer may be a line ahead of the file.
            while (std::ranges::count(ReadFile("ORVVarnoth.log"), '\n') < 201) std::this_thread::yield();
            FailingMutex m;
            ReleaseResource(&m);
        },
        ExitCode(1001), "");
    // The stop's line is there once, and no line is torn.
    const Strings lines = Messages("ORVVarnoth.log");
    ASSERT_GE(lines.size(), 202u);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Internal Error: 1001"), 1);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.starts_with("Busy() - writing "); }),
              std::ssize(lines) - 2);
}

// A count with no line after it: written within seconds, and as the process
// ends. One second for every line, so repeats fold however slow the machine.
const platform::Clock kStoppedClock{[] { return std::int64_t{100}; }, nullptr};

TEST_F(FatalStopDeathTest, PendingCountsReachTheFile) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    EXPECT_EXIT(
        {
            StartLog("ORVVarnoth.log", kStoppedClock);
            static ThreadOwner writer;
            StartLogWriter(writer);
            for (int i = 0; i < 3; ++i) WriteLog("flood\n");
            for (int i = 0; i < 100 && Lines("ORVVarnoth.log").size() < 3; ++i) platform::SleepMs(100);
            WriteLog("flood\n");
            platform::ExitProcess(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(Messages("ORVVarnoth.log"), (Strings{"Log started.", "flood", "Last message repeated 2 times",
                                                   "Last message repeated 1 times"}));
}

}  // namespace
