// Fatal stops end the process with exactly their code after their line is
// in the log; the resource locks' failures are such stops.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/sync.h"
#include "shell/fatal.h"
#include "shell/log.h"
#include "shell/resources.h"
#include "test_env.h"

// Resources live until the process ends; the program keeps them in globals,
// and so does this test, so that leak checking sees them reachable.
ResourceHandle keptResources[64];
int keptResourceCount = 0;

namespace {

using shelltest::ReadFile;
using shelltest::SplitLines;

// On POSIX the parent sees only the low 8 bits of an exit code.
::testing::ExitedWithCode ExitCode(int code) { return ::testing::ExitedWithCode(code & 0xFF); }

std::string LastLine(const std::string& file) {
    const auto lines = SplitLines(ReadFile(file));
    return lines.empty() ? std::string() : lines.back();
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// ---------------------------------------------------------------- fakes

class FakeMutex final : public platform::Mutex {
public:
    platform::WaitResult waitResult = platform::WaitResult::Acquired;
    bool releaseOk = true;
    int waits = 0;
    int releases = 0;
    platform::WaitResult Wait() override {
        ++waits;
        return waitResult;
    }
    bool Release() override {
        ++releases;
        return releaseOk;
    }
};

platform::Mutex* NoMutex(const char*) { return nullptr; }

// Restores the real mutex factory whatever a test did.
class Resources : public shelltest::InTempDir {
protected:
    void TearDown() override {
        platform::SetMutexFactory(nullptr);
        shelltest::InTempDir::TearDown();
    }
};
using ResourcesDeathTest = Resources;
using FatalStopDeathTest = shelltest::InTempDir;

// ---------------------------------------------------------------- resources

TEST_F(Resources, RegisteredMutexesAreDistinctAndExclusive) {
    // The label does not name the mutex: two registrations with one label
    // are two locks.
    ResourceHandle a = RegisterResource("FlightMutex");
    ResourceHandle b = RegisterResource("FlightMutex");
    for (ResourceHandle h : {a, b})
        if (keptResourceCount < 64) keptResources[keptResourceCount++] = h;
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);

    ASSERT_TRUE(GetResource(a));
    std::atomic<bool> gotB{false};
    std::thread other([&] {
        if (GetResource(b)) {
            gotB = true;
            ReleaseResource(b);
        }
    });
    other.join();  // would hang if b were the same lock as a
    EXPECT_TRUE(gotB);
    ReleaseResource(a);

    // Mutual exclusion: unsynchronised increments stay exact.
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                ASSERT_TRUE(GetResource(a));
                ++counter;
                ReleaseResource(a);
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(counter, 8000);
    EXPECT_FALSE(shelltest::Exists("ORVDefault.log"));  // nothing logged
}

TEST_F(Resources, GetResourceReportsEveryOutcomeButAcquired) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    FakeMutex m;
    EXPECT_TRUE(GetResource(&m));
    EXPECT_EQ(ReadFile("ORVVarnoth.log"), "Log started.\n");

    for (auto r : {platform::WaitResult::Failed, platform::WaitResult::TimedOut,
                   platform::WaitResult::Abandoned}) {
        m.waitResult = r;
        EXPECT_FALSE(GetResource(&m));
    }
    EXPECT_EQ(m.waits, 4);
    EXPECT_EQ(m.releases, 0);
    const auto lines = SplitLines(ReadFile("ORVVarnoth.log"));
    ASSERT_EQ(lines.size(), 4u);
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_TRUE(EndsWith(lines[i], "  Get Resource() - Mutex wait timed out")) << lines[i];
}

TEST_F(Resources, ReleaseThatSucceedsIsSilent) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    FakeMutex m;
    ReleaseResource(&m);
    EXPECT_EQ(m.releases, 1);
    EXPECT_EQ(ReadFile("ORVVarnoth.log"), "Log started.\n");
}

TEST_F(ResourcesDeathTest, NullMutexIsFatal7765) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    EXPECT_EXIT(
        {
            platform::SetMutexFactory(NoMutex);
            RegisterResource("XmtMutex");
        },
        ExitCode(7765), "");
    EXPECT_TRUE(EndsWith(LastLine("ORVVarnoth.log"), "  RegisterResource() - NULL Mutex handle"))
        << ReadFile("ORVVarnoth.log");
}

TEST_F(ResourcesDeathTest, FailedReleaseIsFatal1001) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    EXPECT_EXIT(
        {
            FakeMutex m;
            m.releaseOk = false;
            ReleaseResource(&m);
        },
        ExitCode(1001), "");
    EXPECT_TRUE(EndsWith(LastLine("ORVVarnoth.log"), "  Internal Error: 1001"))
        << ReadFile("ORVVarnoth.log");
}

TEST_F(ResourcesDeathTest, FatalLineGoesToFallbackWhenNoLogStarted) {
    EXPECT_EXIT(
        {
            platform::SetMutexFactory(NoMutex);
            RegisterResource("FlightMutex");
        },
        ExitCode(7765), "");
    const auto lines = SplitLines(ReadFile("ORVDefault.log"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Log started.");
    EXPECT_TRUE(EndsWith(lines[1], "  RegisterResource() - NULL Mutex handle"));
}

// ---------------------------------------------------------------- fatal stops

struct StopCase {
    int code;
    const char* line;  // nullptr: no line
};

class FatalStopCodes : public shelltest::InTempDir,
                       public ::testing::WithParamInterface<StopCase> {};

TEST_P(FatalStopCodes, EndsWithItsCodeAfterItsLine) {
    const StopCase c = GetParam();
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    WriteLog("before\n");
    EXPECT_EXIT(FatalStop(c.code, c.line), ExitCode(c.code), "");
    const auto lines = SplitLines(ReadFile("ORVVarnoth.log"));
    if (c.line == nullptr) {
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_TRUE(EndsWith(lines[1], "  before"));
    } else {
        ASSERT_EQ(lines.size(), 3u);
        std::string expected = c.line;
        expected.pop_back();  // the "\n" ends the text line
        EXPECT_TRUE(EndsWith(lines[2], "  " + expected)) << lines[2];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, FatalStopCodes,
    ::testing::Values(StopCase{10, "Error in parameter file, exiting\n"},
                      StopCase{881, nullptr}, StopCase{882, nullptr},
                      StopCase{883, "InitEntry() - Duplicate Index: 7\n"},
                      StopCase{7765, "RegisterResource() - NULL Mutex handle\n"},
                      StopCase{8865, "InitDB() - Count exceeds MAX FSXS\n"}),
    [](const ::testing::TestParamInfo<StopCase>& info) {
        return "Code" + std::to_string(info.param.code);
    });

TEST_F(FatalStopDeathTest, LevelledStopBelowThresholdStillStops) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    EXPECT_EXIT(FatalStopLevel(2, 1, "quiet\n"), ExitCode(1), "");
    EXPECT_EQ(ReadFile("ORVVarnoth.log"), "Log started.\n");
    EXPECT_EXIT(FatalStopLevel(9, 1, "GetUDPMsg() - Fatal: Buffer over run on DGRAM. Length = 5000\n"),
                ExitCode(1), "");
    EXPECT_TRUE(EndsWith(LastLine("ORVVarnoth.log"),
                         "  GetUDPMsg() - Fatal: Buffer over run on DGRAM. Length = 5000"));
}

TEST_F(FatalStopDeathTest, StopEndsProcessWhileOtherThreadsAreBusy) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    EXPECT_EXIT(
        {
            std::atomic<int> written{0};
            // Never joined: the stop must end them wherever they are.
            for (int t = 0; t < 4; ++t) {
                std::thread([&written, t] {
                    for (;;) {
                        WriteLogf("Busy() - thread %d\n", t);
                        written.fetch_add(1);
                    }
                }).detach();
            }
            while (written.load() < 200) std::this_thread::yield();
            FakeMutex m;
            m.releaseOk = false;
            ReleaseResource(&m);
        },
        ExitCode(1001), "");
    const auto lines = SplitLines(ReadFile("ORVVarnoth.log"));
    ASSERT_GE(lines.size(), 201u);
    EXPECT_EQ(lines[0], "Log started.");
    // The stop's line is in the log, and no line is torn, even though
    // writers were mid-way when the process ended.
    int stopLines = 0;
    const std::set<std::string> allowed = {"Busy() - thread 0", "Busy() - thread 1",
                                           "Busy() - thread 2", "Busy() - thread 3",
                                           "Internal Error: 1001"};
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string m;
        EXPECT_TRUE(shelltest::SplitStamped(lines[i], &m) && allowed.count(m) == 1)
            << "line " << i << ": " << lines[i];
        if (m == "Internal Error: 1001") ++stopLines;
    }
    EXPECT_EQ(stopLines, 1);
}

}  // namespace
