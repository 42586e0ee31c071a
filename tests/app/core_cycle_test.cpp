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

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <string>

#include "base/log.h"
#include "base/thread_owner.h"
#include "boards/board_host.h"
#include "boards/mapping.h"
#include "fmc/fmc_thread.h"
#include "link/net_init.h"
#include "link/net_stop.h"
#include "panels/panel_table.h"
#include "panels/update_thread.h"
#include "model/panel_model.h"
#include "tests/support/netns_guard.h"
#include "web/server.h"

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

// A connection to the server at `port`, answered: -1 when none.
int Connected(int port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const char request[] = "GET / HTTP/1.1\r\nHost: 127.0.0.1:8080\r\n\r\n";
    char reply[16] = {};
    if (connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 ||
        write(s, request, sizeof request - 1) != static_cast<ssize_t>(sizeof request - 1) ||
        read(s, reply, sizeof reply) <= 0) {
        close(s);
        return -1;
    }
    return s;
}

TEST(CoreCycle, FiftyStartsAndStopsLeaveNothingBehind) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    static model::Catalog catalog;
    ASSERT_TRUE(panels::LoadPanelCatalog(&catalog));
    static model::PanelModel panelModel(catalog);  // outlives every round's threads
    // The board's end of a pseudo-terminal; nobody answers its hello.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    boards::boardMaps.push_back(boards::BoardMap{"mcp", ptsname(master), {}, {}});
    close(open(ptsname(master), O_RDWR | O_NOCTTY));  // from now on hung up while nobody has it open

    // Measured after a first round: what lives for the whole process (a
    // sanitizer's own thread) may start with the first thread.
    int threadsBefore = CountEntries("/proc/self/task");
    int descriptorsBefore = CountEntries("/proc/self/fd");
    for (int round = 0; round <= 50; ++round) {
        ThreadOwner core;
        StartLogWriter(core);
        ASSERT_EQ(InitUdp(core, {}, 9099, 15, 1, 261208), 0) << "round " << round;
        core.Start([](platform::StopSignal& stop) { UpdateThread(stop, panelModel); });
        core.Start([](platform::StopSignal& stop) { FMCThread(stop, platform::kSystemClock); });
        boards::BoardHost boardHost(panelModel, nullptr);
        boardHost.Start(boards::boardMaps);
        web::ServerConfig config{INADDR_LOOPBACK, 8080, {}, {}, {&panelModel}, {}, nullptr};
        std::string error;
        ASSERT_TRUE(web::StartWebServer(core, config, &error)) << error << ", round " << round;
        // A browser still connected when the core stops.
        const int browser = Connected(8080);
        ASSERT_GE(browser, 0) << "round " << round;
        EXPECT_GT(CountEntries("/proc/self/task"), threadsBefore);
        // Stopped with its port open.
        EXPECT_TRUE(PortOpened(master)) << "round " << round;
        boardHost.Stop();
        core.StopAll();
        StopUdp();
        close(browser);
        if (round == 0) {
            threadsBefore = CountEntries("/proc/self/task");
            descriptorsBefore = CountEntries("/proc/self/fd");
        }
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
