// Reading and setting variables through the working copy while the link
// is down, the refresh from the master table and its fatal stops.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "link/link_state.h"
#include "link/receiver.h"
#include "link/transmit.h"
#include "link/var_access.h"
#include "link/var_table.h"
#include "platform/process.h"
#include "tests/link/link_test_support.h"

namespace {

using linktest::DeathLog;
using linktest::FakeMutex;
using linktest::HasLine;
using linktest::ProcessLog;
using platform::WaitResult;

// Applies an update the way the receiver does, without a socket.
void Receive(const linktest::Bytes& d) {
    linktest::Bytes copy = d;
    copy.push_back(0);
    HandleDatagram(copy.data(), d.size());
}

class VarAccess : public ::testing::Test {
protected:
    void SetUp() override {
        InitDB();
        masterChanged = false;
        linkConnected = false;
        DataMutex = &mutex;
    }
    void TearDown() override { DataMutex = nullptr; }
    // Log lines written since the test began.
    std::string NewLog() const { return ProcessLog().substr(logStart); }

    FakeMutex mutex;
    std::size_t logStart = ProcessLog().size();
};

TEST_F(VarAccess, StartingValuesAreVisibleBeforeAnyUpdate) {
    EXPECT_EQ(GetIntVar(222), -1);
    EXPECT_EQ(GetIntVar(52), 0);
    EXPECT_EQ(GetIntVar(193), 2);
    EXPECT_EQ(GetIntVar(192), 1);
}

TEST_F(VarAccess, WrongTypeUndefinedAndOutOfCountReadAsZero) {
    masterTable[1].realValue = 3.5;
    masterTable[13].intValue = 9;
    masterTable[235].intValue = 4;
    masterChanged = true;
    EXPECT_EQ(GetRealVar(1), 3.5);
    EXPECT_EQ(GetIntVar(13), 9);
    EXPECT_EQ(GetIntVar(1), 0);      // real variable
    EXPECT_EQ(GetRealVar(13), 0.0);  // integer variable
    EXPECT_EQ(GetIntVar(168), 0);    // not defined
    EXPECT_EQ(GetIntVar(187), 0);    // text
    EXPECT_EQ(GetIntVar(235), 0);    // defined, but beyond the count
    EXPECT_EQ(GetIntVar(236), 0);
    EXPECT_EQ(GetIntVar(-1), 0);
    EXPECT_EQ(GetRealVar(-1), 0.0);
    EXPECT_EQ(workingCopy[235].intValue, 0) << "entries beyond the count are never copied";
}

TEST_F(VarAccess, SetWhileDownIsLocalUntilTheNextRefresh) {
    SetIntVar(47, 1);
    EXPECT_EQ(GetIntVar(47), 1);
    EXPECT_EQ(masterTable[47].intValue, 0);
    // The DB node reports another variable: the refresh brings its value for 47 back.
    Receive(linktest::IntItemUpdate(13, 5));
    EXPECT_EQ(GetIntVar(13), 5);
    EXPECT_EQ(GetIntVar(47), 0);
}

TEST_F(VarAccess, SetWhileDownStoresWhateverTheTypeButOnlyInsideTheCount) {
    SetIntVar(1, 7);  // a real variable
    EXPECT_EQ(workingCopy[1].intValue, 7);
    EXPECT_EQ(GetIntVar(1), 0);
    SetIntVar(168, 7);  // not defined: stored, never readable
    EXPECT_EQ(GetIntVar(168), 0);
    SetIntVar(235, 7);
    SetIntVar(-1, 7);
    EXPECT_EQ(workingCopy[235].intValue, 0);
    SetRealVar(20, 2.5);
    EXPECT_EQ(GetRealVar(20), 2.5);
    SetRealVar(235, 1.0);  // the real setter's own bound lets the count itself through
    EXPECT_EQ(GetRealVar(235), 0.0);
}

TEST_F(VarAccess, SetRealVarOutsideItsBoundStops4491) {
    for (int index : {300, 236, -1}) {
        EXPECT_EXIT(SetRealVar(index, 1.0), ::testing::ExitedWithCode(4491 & 0xFF), "") << index;
        EXPECT_EQ(DeathLog(), "Log started.\n");
    }
}

TEST_F(VarAccess, KeyCommandsWhileTheSimulatorIsNotConnected) {
    KeyCRi(50, 1);
    EXPECT_EQ(GetIntVar(50), 0);
    KeyCRi(184, 1);  // the limit itself still needs a connected simulator
    EXPECT_EQ(GetIntVar(184), 0);
    KeyCRi(190, 1);
    EXPECT_EQ(GetIntVar(190), 1);
    KeyCRd(20, 4.0);
    EXPECT_EQ(GetRealVar(20), 0.0);
    const std::string log = NewLog();
    EXPECT_EQ(linktest::CountOf(log, "KeyCRi() - Not Connected\n"), 2);
    EXPECT_TRUE(HasLine(log, "KeyCRd() - Not Connected\n"));
}

TEST_F(VarAccess, KeyCRiSetsAnyIndexOnceTheSimulatorIsConnected) {
    Receive(linktest::IntItemUpdate(52, 1));
    KeyCRi(50, 1);
    EXPECT_EQ(GetIntVar(50), 1);
    EXPECT_EQ(NewLog(), "");
}

TEST_F(VarAccess, SetAndConfirmRefusesWhileNotConnected) {
    EXPECT_FALSE(SetAndConfirm(124, 250));
    EXPECT_EQ(GetIntVar(124), 0);
    const std::string log = NewLog();
    EXPECT_EQ(linktest::Messages(log).size(), 1u);
    EXPECT_TRUE(HasLine(log, "SetAndConfirm() - NC: 124\n"));
}

TEST_F(VarAccess, SetAndConfirmReadsBackItsOwnStore) {
    Receive(linktest::IntItemUpdate(52, 1));
    EXPECT_TRUE(SetAndConfirm(124, 250));
    EXPECT_EQ(NewLog(), "");
}

TEST_F(VarAccess, SetAndConfirmGivesUpAfterFourMisses) {
    Receive(linktest::IntItemUpdate(52, 1));
    EXPECT_FALSE(SetAndConfirm(20, 5));  // a real variable never reads back as an integer
    const std::vector<std::string> m = linktest::Messages(NewLog());
    const std::vector<std::string> expected = {
        "SetAndConfirm() - Index: 20  Value: 5",
        "SetAndConfirm() - Index: 20  Value: 5",
        "SetAndConfirm() - Index: 20  Value: 5",
        "SetAndConfirm() - Index: 20  Value: 5",
        "SetAndCnfirm() - Final. Index: 20  Value: 5",
    };
    EXPECT_EQ(m, expected);
}

TEST_F(VarAccess, RefreshTakesNoLockWhenNothingChanged) {
    for (int i = 0; i < 100; ++i) GetIntVar(47);
    EXPECT_EQ(mutex.waits.load(), 0);
    masterTable[47].intValue = 1;
    masterTable[1].realValue = -8.25;
    masterChanged = true;
    EXPECT_EQ(GetIntVar(47), 1);
    EXPECT_EQ(GetRealVar(1), -8.25);
    EXPECT_EQ(mutex.waits.load(), 1);
    EXPECT_FALSE(masterChanged);
}

struct StopCase {
    platform::Mutex* mutex;
    int code;
    const char* line;  // nullptr: no log line
};

TEST(FreshenCopyStops, EachWaitOutcomeHasItsCode) {
    static FakeMutex failed(WaitResult::Failed);
    static FakeMutex timedOut(WaitResult::TimedOut);
    static FakeMutex abandoned(WaitResult::Abandoned);
    static FakeMutex releaseFails(WaitResult::Acquired, false);
    const StopCase cases[] = {
        {nullptr, 7337, "FreshenCopy() - DataMutex is NULL\n"},
        {&failed, 9997, nullptr},
        {&timedOut, 9998, nullptr},
        {&abandoned, 996, nullptr},
        {&releaseFails, 995, "FreshenCopy() - Mutex release error.\n"},
    };
    for (const StopCase& c : cases) {
        EXPECT_EXIT(
            {
                InitDB();
                DataMutex = c.mutex;
                masterChanged = true;
                FreshenCopy();
            },
            ::testing::ExitedWithCode(c.code & 0xFF), "")
            << c.code;
        const std::vector<std::string> m = linktest::Messages(DeathLog());
        if (c.line == nullptr) {
            EXPECT_EQ(m, std::vector<std::string>{"Log started."}) << c.code;
        } else {
            EXPECT_EQ(m.size(), 2u) << c.code;
            EXPECT_TRUE(HasLine(DeathLog(), c.line)) << c.code;
        }
    }
}

TEST(BeforeTheTableIsBuilt, ReadsGiveZeroAndCheckedSetsDoNothing) {
    // A fresh process, in which nothing has built the table.
    EXPECT_EXIT(
        {
            const bool zero = GetIntVar(222) == 0 && GetRealVar(1) == 0.0 && !CheckVar(0);
            platform::ExitProcess(zero ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// Counts the transmit mutexes created; each is a real one.
std::atomic<int> xmtCreations{0};
platform::Mutex* CountingFactory(const char* name) {
    if (std::string(name) == "XmtMutex") xmtCreations.fetch_add(1);
    platform::SetMutexFactory(nullptr);
    platform::Mutex* m = platform::CreateMutex(name);
    platform::SetMutexFactory(CountingFactory);
    return m;
}

TEST(TransmitMutex, IsCreatedOnceWhenThreadsTransmitForTheFirstTimeTogether) {
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
                    const unsigned char d[4] = {1, 2, 3, 4};
                    Broadcast(d, sizeof d);  // no broadcast socket yet: a logged send error
                });
            }
            for (std::thread& t : threads) t.join();
            platform::ExitProcess(xmtCreations.load() == 1 ? 0 : 10 + xmtCreations.load());
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(linktest::CountOf(DeathLog(), "Broadcast() - Broadcast send error\n"), 8);
}

TEST(TransmitSequence, RunsFrom1To999ThenWrapsTo0) {
    std::int32_t previous = NextSequence();
    for (int i = 0; i < 2100; ++i) {
        const std::int32_t next = NextSequence();
        ASSERT_EQ(next, (previous + 1) % 1000);
        ASSERT_GE(next, 0);
        ASSERT_LE(next, 999);
        previous = next;
    }
}

}  // namespace
