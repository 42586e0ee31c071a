// The link as start-up brings it up, on the real clock: with the link down the
// first address request goes out 5 s after start. Meanwhile updates stream in
// and other threads read and set variables (ThreadSanitizer checks sharing).
#include <gtest/gtest.h>

#include <chrono>

#include "link/link_state.h"
#include "link/net_init.h"
#include "link/var_access.h"
#include "tests/link/link_test_support.h"
#include "tests/support/portable.h"

namespace {

using Clock = std::chrono::steady_clock;

TEST(LinkRealTime, FirstAddressRequestAfterFiveSecondsWhileUpdatesFlow) {
    linktest::Peer listener{9019, 0};
    linktest::SetReceiveTimeout(listener.socket, 8000);  // the request is due after 5 s
    // The DB node streams on while the link is down, as after a disconnect.
    DbLink.port = 9100;
    DbLink.endpoint = {linktest::kLoopback, 9100};
    const Clock::time_point start = Clock::now();
    ThreadOwner linkThreads;
    ASSERT_EQ(InitUdp(linkThreads, {}, 9099, 15, 1, 261206), 0);
    std::uint32_t monitorAddress = 0;
    ASSERT_TRUE(platform::ParseIpv4(boundIp, &monitorAddress));
    EXPECT_NE(selectedIp[0], '\0');
    const long buffer = testsupport::ReceiveBufferBytes(monitorSocket);
    if (buffer != -1) {
        EXPECT_GE(buffer, kMonitorSocketBufferBytes);
    }

    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::vector<std::thread> threads;
    threads.emplace_back([&stop, monitorAddress] {
        // Bound where the node is known to be, whichever address the program
        // bound: an unbound sender would be seen from the adapter's address.
        const linktest::Peer db{9100};
        for (int i = 1; !stop; ++i) {
            db.SendTo(9099, linktest::Update({{13, false, 1.0 * i}, {1, true, i + 0.5}}), monitorAddress);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&stop, &torn] {
            for (int i = 0; !stop; ++i) {
                const double r = GetRealVar(1);  // always some i + 0.5
                if (r != 0.0 && r - static_cast<int>(r) != 0.5) torn.fetch_add(1);
                SetIntVar(124, i % 360);
                SetRealVar(20, i);
            }
        });
    }

    const linktest::Bytes first = listener.Receive();
    const double firstAt = std::chrono::duration<double>(Clock::now() - start).count();
    stop = true;
    for (std::thread& t : threads) t.join();
    EXPECT_GE(firstAt, 4.9);
    EXPECT_LT(firstAt, 6.5);
    EXPECT_EQ(linktest::Field(first, 2), 1);
    EXPECT_EQ(linktest::PayloadText(first), std::string(selectedIp) + " 9099 1 261206\n");
    EXPECT_EQ(torn.load(), 0);
    EXPECT_GT(GetIntVar(13), 0);
}

}  // namespace
