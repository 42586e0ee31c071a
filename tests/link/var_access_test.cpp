// Reading and setting variables through the working copy (link down), the
// refresh from the master table and its fatal stops, and XmtMutex.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "link/link_state.h"
#include "link/transmit.h"
#include "link/var_access.h"
#include "link/var_table.h"
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
    EXPECT_EXIT(SetRealVar(300, 1.0), ::testing::ExitedWithCode(4491 & 0xFF), "");
    EXPECT_EQ(DeathLog(), "Log started.\n");
}

TEST_F(VarAccess, KeyCommandsAndSetAndConfirmNeedTheSimulator) {
    KeyCRi(50, 1);
    EXPECT_FALSE(SetAndConfirm(124, 250));
    EXPECT_EQ(GetIntVar(50), 0);
    EXPECT_EQ(GetIntVar(124), 0);
    KeyCRi(190, 3);  // above 184 even without a simulator
    EXPECT_EQ(GetIntVar(190), 3);
    const std::string down = NewLog();
    EXPECT_EQ(CountOf(down, "  KeyCRi() - Not Connected\n"), 1);
    EXPECT_EQ(CountOf(down, "  SetAndConfirm() - NC: 124\n"), 1);

    masterTable[52].intValue = 1;  // the simulator is connected
    masterChanged = true;
    logStart = linktest::ProcessLog().size();
    KeyCRi(50, 1);
    EXPECT_TRUE(SetAndConfirm(124, 250));
    EXPECT_EQ(GetIntVar(50), 1);
    EXPECT_EQ(GetIntVar(124), 250);
    EXPECT_EQ(NewLog(), "");
}

TEST_F(VarAccess, RefreshTakesALockOnlyWhenSomethingChanged) {
    for (int i = 0; i < 100; ++i) GetIntVar(47);
    EXPECT_EQ(mutex.waits.load(), 0);
    masterTable[47].intValue = 1;
    masterTable[1].realValue = 3.5;
    masterChanged = true;
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
            ::testing::ExitedWithCode(c.code & 0xFF), "")
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
    platform::SetMutexFactory(nullptr);
    platform::Mutex* m = platform::CreateMutex(name);
    platform::SetMutexFactory(CountingFactory);
    return m;
}

TEST(TransmitMutex, IsCreatedOnceWhenThreadsRaceToFirstUse) {
    EXPECT_EXIT(
        {
            platform::SetMutexFactory(CountingFactory);
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
