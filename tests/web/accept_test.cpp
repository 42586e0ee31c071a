// The browser host with every descriptor taken: it says so once per run of
// failures, does not spin, and serves again once descriptors free up.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

#include "base/log.h"
#include "platform/process.h"
#include "platform/time.h"
#include "tests/support/netns_guard.h"
#include "base/thread_owner.h"
#include "web/server.h"
#include "model/panel_model.h"

namespace {

int Connect() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{AF_INET, htons(8080), {htonl(INADDR_LOOPBACK)}, {}};
    return fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0 ? fd : -1;
}

// The first bytes of the answer to a request on `fd`; "" when none came.
std::string Answer(int fd) {
    const char request[] = "GET / HTTP/1.1\r\nHost: 127.0.0.1:8080\r\nConnection: close\r\n\r\n";
    timeval wait{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    char got[12] = {};
    const bool answered = ::send(fd, request, sizeof request - 1, 0) > 0 && ::recv(fd, got, sizeof got, MSG_WAITALL) > 0;
    ::close(fd);
    // The server closes its side and tries its accept again before the
    // descriptors are taken: taken under its feet, its log line could be lost.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return answered ? std::string(got, sizeof got) : std::string();
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

TEST(WebAccept, OutOfDescriptorsLogsOnceBacksOffAndServesAgain) {
    static const model::Catalog noPanels;
    static model::PanelModel panels(noPanels);  // outlives the server's thread
    web::ServerConfig config{INADDR_LOOPBACK, 8080, {}, {}, {&panels}, {}, nullptr};
    std::string error;
    static ThreadOwner threads;
    ASSERT_TRUE(web::StartWebServer(threads, config, &error)) << error;
    // Served first with descriptors to spare, which also fills UBSan's type
    // cache: its checks need a descriptor of their own.
    ASSERT_EQ(Answer(Connect()), "HTTP/1.1 200");
    const int probe = ::open("/dev/null", O_RDONLY);
    ::close(probe);
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(probe + 32);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
    for (int round = 0; round < 2; ++round) {  // a second run of failures is logged too
        std::vector<int> taken;
        for (int fd; (fd = ::open("/dev/null", O_RDONLY)) >= 0;) taken.push_back(fd);
        ::close(taken.back());
        taken.pop_back();
        // The last descriptor: a connection the server can only leave waiting.
        const int client = Connect();
        ASSERT_GE(client, 0);
        const double before = CpuSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        EXPECT_LT(CpuSeconds() - before, 0.3) << "the server spins on a failing accept";
        for (const int fd : taken) ::close(fd);
        EXPECT_EQ(Answer(client), "HTTP/1.1 200") << "round " << round;
    }
    std::ifstream log("accept_test.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
        if (line.find("Web server") != std::string::npos) lines.push_back(line.substr(line.find("Web server")));
    const std::string failing = "Web server cannot accept connections: Too many open files; trying again every 100 ms";
    const std::string again = "Web server accepting connections again";
    EXPECT_EQ(lines, (std::vector<std::string>{failing, again, failing, again}));
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::RequirePrivateNetworkNamespace();
    // Each line in a second of its own: none is folded into a repeat count.
    static std::atomic<std::int64_t> second{0};
    StartLog("accept_test.log", {[] { return ++second; }});
    ::testing::InitGoogleTest(&argc, argv);
    platform::ExitProcess(RUN_ALL_TESTS());  // the server's thread is never joined
}
