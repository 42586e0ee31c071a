// The monitor on the real clock: with no DB node, address requests go out
// every 5 seconds from 5 seconds after start, numbered one after another.
#include <gtest/gtest.h>

#include <chrono>

#include "link/link_state.h"
#include "link/net_init.h"
#include "tests/link/link_test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

TEST(MonitorRealTime, AddressRequestEveryFiveSeconds) {
    linktest::Peer listener{9019, 0};
    const Clock::time_point start = Clock::now();
    ASSERT_EQ(InitUdp(9099, 15, "", "", 1, 261206), 0);

    const linktest::Bytes first = listener.Receive();
    const double firstAt = SecondsSince(start);
    const linktest::Bytes second = listener.Receive();
    const double secondAt = SecondsSince(start);

    EXPECT_GE(firstAt, 4.9);
    EXPECT_LT(firstAt, 6.5);
    EXPECT_GE(secondAt - firstAt, 4.9);
    EXPECT_LT(secondAt - firstAt, 6.5);
    EXPECT_EQ(linktest::Field(first, 2), 1);
    EXPECT_EQ(linktest::Field(second, 2), 2);
    EXPECT_EQ(linktest::PayloadText(second), std::string(selectedIp) + " 9099 1 261206\n");
    EXPECT_EQ(OwnMissedPeriods(), 2);
}

}  // namespace
