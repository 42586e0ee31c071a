// Reading and setting variables through the working copy (link down), the
// refresh from the master table and its fatal stops, and XmtMutex.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "tests/support/portable.h"
#include "link/link_state.h"
#include "link/transmit.h"
#include "link/var_access.h"
#include "link/var_table_testing.h"
#include "platform/process.h"
#include "tests/link/link_test_support.h"

namespace {

using linktest::CountOf;
using linktest::DeathLog;
using linktest::FakeMutex;
using platform::WaitResult;

class VarAccess : public ::testing::Test {
protected:
    void SetUp() override {
        InitDB();
        masterChanged = false;
        linkConnected = false;
        DataMutex = &mutex;
    }
    void TearDown() override { DataMutex = nullptr; }
    std::string NewLog() const { return linktest::ProcessLog().substr(logStart); }

    FakeMutex mutex;
    std::size_t logStart = linktest::ProcessLog().size();
};

TEST_F(VarAccess, SetRealVarOutsideItsBoundStops4491) {
    for (const std::int32_t index : {300, 236, -1}) {
        EXPECT_EXIT(SetRealVar(index, 1.0), ::testing::ExitedWithCode(testsupport::SeenExitCode(4491)), "") << index;
        EXPECT_EQ(DeathLog(), "Log started.\n") << index;
    }
    // The count itself is inside the bound: stored locally while the link is down.
    SetRealVar(235, 2.5);
    EXPECT_EQ(WorkingEntryForTest(235).realValue, 2.5);
    SetRealVar(0, 1.5);
    EXPECT_EQ(GetRealVar(0), 1.5);
}

TEST_F(VarAccess, KeyCRiWithoutSimulatorSetsOnlyAbove184) {
    const struct { std::int32_t index; bool sets; } cases[] = {{50, false}, {184, false}, {185, true}, {190, true}};
    for (const auto& c : cases) {
        logStart = linktest::ProcessLog().size();
        KeyCRi(c.index, 7);
        EXPECT_EQ(GetIntVar(c.index), c.sets ? 7 : 0) << c.index;
        EXPECT_EQ(NewLog().ends_with("  KeyCRi() - Not Connected\n"), !c.sets) << c.index;
    }
}

TEST(Sequence, RunsOneTo999ThenWrapsToZero) {
    std::int32_t n = NextSequence();
    for (int i = 0; i < 1000 && n != 998; ++i) n = NextSequence();
    ASSERT_EQ(n, 998);
    EXPECT_EQ(NextSequence(), 999);
    EXPECT_EQ(NextSequence(), 0);
    EXPECT_EQ(NextSequence(), 1);
}

int waitFailures = 0;
int releaseFailures = 0;
void CountWaitFailure(WaitResult) { ++waitFailures; }
void CountReleaseFailure() { ++releaseFailures; }

TEST(ScopedLockTest, ReleasesOnlyWhatItHolds) {
    const struct {
        WaitResult wait;
        bool releaseOk, nullMutex;
        int waitFailures, releases, releaseFailures;
    } cases[] = {
        {WaitResult::Acquired, true, false, 0, 1, 0},  {WaitResult::Acquired, false, false, 0, 1, 1},
        {WaitResult::Failed, true, false, 1, 0, 0},    {WaitResult::TimedOut, true, false, 1, 0, 0},
        {WaitResult::Abandoned, true, false, 1, 0, 0}, {WaitResult::Failed, true, true, 1, 0, 0},
    };
    for (const auto& c : cases) {
        FakeMutex m(c.wait, c.releaseOk);
        waitFailures = releaseFailures = 0;
        {
            const platform::ScopedLock lock(c.nullMutex ? nullptr : &m, {&CountWaitFailure, &CountReleaseFailure});
            EXPECT_EQ(lock.Held(), c.wait == WaitResult::Acquired && !c.nullMutex);
        }
        EXPECT_EQ(waitFailures, c.waitFailures) << static_cast<int>(c.wait);
        EXPECT_EQ(m.releases.load(), c.releases) << static_cast<int>(c.wait);
        EXPECT_EQ(releaseFailures, c.releaseFailures) << static_cast<int>(c.wait);
    }
}

TEST_F(VarAccess, KeyCommandsAndSetAndConfirmNeedTheSimulator) {
    KeyCRi(50, 1);
    EXPECT_FALSE(SetAndConfirm(124, 250));
    EXPECT_EQ(GetIntVar(50), 0);
    EXPECT_EQ(GetIntVar(124), 0);
    KeyCRi(190, 3);  // above 184 even without a simulator
    EXPECT_EQ(GetIntVar(190), 3);
    KeyCRd(210, 2.5);  // the real twin knows no such exception
    EXPECT_EQ(GetRealVar(210), 0.0);
    const std::string down = NewLog();
    EXPECT_EQ(CountOf(down, "  KeyCRi() - Not Connected\n"), 1);
    EXPECT_EQ(CountOf(down, "  KeyCRd() - Not Connected\n"), 1);
    EXPECT_EQ(CountOf(down, "  SetAndConfirm() - NC: 124\n"), 1);

    SetMasterIntForTest(52, 1);  // the simulator is connected
    logStart = linktest::ProcessLog().size();
    KeyCRi(50, 1);
    KeyCRd(210, 2.5);
    EXPECT_TRUE(SetAndConfirm(124, 250));
    EXPECT_EQ(GetIntVar(50), 1);
    EXPECT_EQ(GetRealVar(210), 2.5);
    EXPECT_EQ(GetIntVar(124), 250);
    EXPECT_EQ(NewLog(), "");
}

TEST_F(VarAccess, RefreshTakesALockOnlyWhenSomethingChanged) {
    for (int i = 0; i < 100; ++i) GetIntVar(47);
    EXPECT_EQ(mutex.waits.load(), 0);
    SetMasterIntForTest(47, 1);
    SetMasterRealForTest(1, 3.5);
    EXPECT_EQ(GetIntVar(47), 1);
    EXPECT_EQ(GetRealVar(1), 3.5);
    EXPECT_EQ(GetIntVar(1), 0);  // a real variable
    EXPECT_EQ(GetRealVar(47), 0.0);
    EXPECT_EQ(mutex.waits.load(), 1);
}

TEST(FreshenCopyStops, EachWaitOutcomeHasItsCode) {
    static FakeMutex failed(WaitResult::Failed), timedOut(WaitResult::TimedOut),
        abandoned(WaitResult::Abandoned), releaseFails(WaitResult::Acquired, false);
    const struct { platform::Mutex* mutex; int code; std::string line; } cases[] = {  // line "": no log
        {nullptr, 7337, "FreshenCopy() - DataMutex is NULL\n"},
        {&releaseFails, 995, "FreshenCopy() - Mutex release error.\n"},
        {&failed, 9997, ""},
        {&timedOut, 9998, ""},
        {&abandoned, 996, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(
            {
                InitDB();
                DataMutex = c.mutex;
                masterChanged = true;
                FreshenCopy();
            },
            ::testing::ExitedWithCode(testsupport::SeenExitCode(c.code)), "")
            << c.code;
        const std::string log = DeathLog();
        if (c.line.empty()) EXPECT_EQ(log, "Log started.\n") << c.code;
        else EXPECT_TRUE(log.starts_with("Log started.\n") && log.ends_with("  " + c.line) &&
                         CountOf(log, "\n") == 2) << log;
    }
}

std::atomic<int> xmtCreations{0};
platform::Mutex* CountingFactory(const char* name) {
    if (std::string(name) == "XmtMutex") xmtCreations.fetch_add(1);
    return platform::NewMutex(name);
}

TEST(TransmitMutex, IsCreatedOnceWhenThreadsRaceToFirstUse) {
    EXPECT_EXIT(
        {
            linkServices.newMutex = CountingFactory;
            std::atomic<int> ready{0};
            std::vector<std::thread> threads;
            for (int t = 0; t < 8; ++t) {
                threads.emplace_back([&ready] {
                    ready.fetch_add(1);
                    while (ready.load() < 8) {
                    }
                    XmtMutex();
                });
            }
            for (std::thread& t : threads) t.join();
            platform::ExitProcess(xmtCreations.load() == 1 ? 0 : 10 + xmtCreations.load());
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
