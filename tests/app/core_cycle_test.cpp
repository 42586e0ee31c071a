// The core started and stopped many times in one process: the link, the
// panel model's refresh, the FMC, the browser host and one board on a
// pseudo-terminal. Every stop must leave no thread and no descriptor behind
// (and, under the sanitizers, no leak and no race).
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "base/log.h"
#include "base/thread_owner.h"
#include "boards/board_thread.h"
#include "boards/mapping.h"
#include "fmc/fmc_thread.h"
#include "link/net_init.h"
#include "panels/panel_table.h"
#include "panels/update_thread.h"
#include "tests/support/netns_guard.h"

namespace {

int CountEntries(const char* folder) {
    DIR* d = opendir(folder);
    if (d == nullptr) return -1;
    int n = 0;
    while (const dirent* e = readdir(d))
        if (e->d_name[0] != '.') ++n;
    closedir(d);
    return n - (std::string(folder) == "/proc/self/fd" ? 1 : 0);  // the listing's own
}

// Whether the board's thread has its end of the terminal open (within 2 s):
// until then the master reports the hang-up of the last round's.
bool PortOpened(int master) {
    char buffer[256];
    for (int i = 0; i < 400; ++i) {
        pollfd p{master, POLLIN, 0};
        const int ready = poll(&p, 1, 0);
        if (ready == 0) return true;
        if ((p.revents & POLLHUP) == 0 && read(master, buffer, sizeof buffer) > 0) return true;
        usleep(5000);
    }
    return false;
}

TEST(CoreCycle, FiftyStartsAndStopsLeaveNothingBehind) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    ASSERT_TRUE(panels::StartPanelModel());
    // The board's end of a pseudo-terminal; nobody answers its hello.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    boards::boardMaps.push_back(boards::BoardMap{"mcp", ptsname(master), {}, {}});
    close(open(ptsname(master), O_RDWR | O_NOCTTY));  // from now on hung up while nobody has it open

    const int threadsBefore = CountEntries("/proc/self/task");
    const int descriptorsBefore = CountEntries("/proc/self/fd");
    for (int round = 0; round < 50; ++round) {
        ThreadOwner core;
        StartLogWriter(core);
        ASSERT_EQ(InitUdp(core, 9099, 15, 1, 261208), 0) << "round " << round;
        core.Start(UpdateThread);
        core.Start(FMCThread);
        boards::StartBoards(core);
        EXPECT_GT(CountEntries("/proc/self/task"), threadsBefore);
        // Stopped with its port open.
        EXPECT_TRUE(PortOpened(master)) << "round " << round;
        core.StopAll();
        StopUdp();
        ASSERT_EQ(CountEntries("/proc/self/task"), threadsBefore) << "round " << round;
        ASSERT_EQ(CountEntries("/proc/self/fd"), descriptorsBefore) << "round " << round;
    }
    close(master);
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::RequirePrivateNetworkNamespace();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
