// The browser host with every descriptor taken: it says so once per run of
// failures, does not spin, and serves again once descriptors free up.
// Opens sockets: runs only in a private network namespace.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "base/log.h"
#include "platform/process.h"
#include "platform/time.h"
#include "tests/support/netns_guard.h"
#include "web/server.h"

namespace {

constexpr char kLogName[] = "accept_test.log";
constexpr std::uint16_t kPort = 8080;

int Connect() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(kPort);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) return fd;
    ::close(fd);
    return -1;
}

// Every descriptor taken but one, which a client then uses for a connection
// the server can only leave waiting.
std::vector<int> TakeAllButOneAndConnect(int* client) {
    std::vector<int> taken;
    for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) taken.push_back(fd);
    ::close(taken.back());
    taken.pop_back();
    *client = Connect();
    return taken;
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

std::string Answer(int client) {
    const std::string request = "GET / HTTP/1.1\r\nHost: 127.0.0.1:8080\r\nConnection: close\r\n\r\n";
    if (::send(client, request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size()))
        return {};
    timeval wait{5, 0};
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    char got[64] = {};
    const ssize_t n = ::recv(client, got, sizeof got, 0);
    return n > 0 ? std::string(got, static_cast<std::size_t>(n)) : std::string();
}

// Lets the server close what it served and try its accept again before the
// descriptors are taken: taken under its feet, its log line could be lost.
void Settle() { std::this_thread::sleep_for(std::chrono::milliseconds(300)); }

std::vector<std::string> ServerLines() {
    std::ifstream log(kLogName);
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
        if (line.find("Web server") != std::string::npos) lines.push_back(line.substr(line.find("Web server")));
    return lines;
}

TEST(WebAccept, OutOfDescriptorsLogsOnceBacksOffAndServesAgain) {
    web::ServerConfig config;
    config.address = INADDR_LOOPBACK;
    config.port = kPort;
    std::string error;
    ASSERT_TRUE(web::StartWebServer(config, &error)) << error;
    // Served first with descriptors to spare. (This also warms UBSan's type
    // cache, whose checks need a descriptor of their own.)
    const int first = Connect();
    EXPECT_EQ(Answer(first).rfind("HTTP/1.1 200", 0), 0u);
    ::close(first);
    Settle();
    const int probe = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::close(probe);
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(probe + 32);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);

    // Twice: a second run of failures after the server recovered is logged too.
    for (int round = 0; round < 2; ++round) {
        int client = -1;
        std::vector<int> taken = TakeAllButOneAndConnect(&client);
        ASSERT_GE(client, 0);
        const double before = CpuSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        EXPECT_LT(CpuSeconds() - before, 0.3) << "the server spins on a failing accept";
        for (const int fd : taken) ::close(fd);
        EXPECT_EQ(Answer(client).rfind("HTTP/1.1 200", 0), 0u) << "round " << round;
        ::close(client);
        Settle();
    }
    const std::string failing = "Web server cannot accept connections: Too many open files; trying again every 100 ms";
    const std::string again = "Web server accepting connections again";
    EXPECT_EQ(ServerLines(), (std::vector<std::string>{failing, again, failing, again}));
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::RequirePrivateNetworkNamespace();
    StartLog(kLogName);
    // Each line in a second of its own: none is folded into a repeat count.
    static std::atomic<std::int64_t> second{0};
    static const platform::TimeSource lineBySecond{[] { return ++second; }, nullptr};
    platform::SetTimeSource(&lineBySecond);
    ::testing::InitGoogleTest(&argc, argv);
    // The server's thread is never joined: end without static destructors.
    platform::ExitProcess(RUN_ALL_TESTS());
}
