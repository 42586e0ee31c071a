// The pure decisions of start-up (host address, broadcast address) and the
// bytes this client puts on the wire.
#include <gtest/gtest.h>

#include "link/address_choice.h"
#include "protocol/wire.h"
#include "tests/link/link_test_support.h"

namespace {

using linktest::Bytes;

TEST(HostAddressChoice, WalkOverResolvedAddresses) {
    struct Case {
        std::vector<std::string> addresses;
        std::string bound, selected;
    };
    const Case cases[] = {
        {{"127.0.0.1"}, "127.0.0.1", "127.0.0.1"},
        {{"192.168.1.20", "10.0.0.7"}, "10.0.0.7", "10.0.0.7"},
        {{"10.0.0.7", "192.168.1.20", "127.0.1.1"}, "127.0.1.1", "192.168.1.20"},
    };
    for (const Case& c : cases) {
        const HostAddressChoice choice = ChooseHostAddresses(c.addresses);
        EXPECT_EQ(choice.boundIp, c.bound) << c.addresses.back();
        EXPECT_EQ(choice.selectedIp, c.selected) << c.addresses.back();
    }
}

TEST(Broadcast, LastAdapterDecides) {
    const auto b = ChooseBroadcast({{"eth0", "10.0.0.7", "255.0.0.0"}, {"wlan0", "192.168.1.20", "255.255.255.0"}});
    ASSERT_TRUE(b.has_value());
    EXPECT_EQ(platform::FormatIpv4(b->network), "192.168.1.0");
    EXPECT_EQ(platform::FormatIpv4(b->broadcast.address), "192.168.1.255");
    EXPECT_EQ(b->broadcast.port, 9019);
    EXPECT_FALSE(ChooseBroadcast({}).has_value());
    EXPECT_FALSE(ChooseBroadcast({{"bad", "not.an.ip", "255.0.0.0"}}).has_value());
}

TEST(Wire, OutgoingUpdatesAreLittleEndian) {
    unsigned char d[64];
    ASSERT_EQ(BuildIntUpdate(d, 999, 15, 47, -2), 28u);
    const Bytes intUpdate = {1, 0, 0, 0, 3, 0, 0, 0, 0xE7, 3, 0, 0, 1, 0, 0, 0, 15, 0, 0, 0,
                             47, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(Bytes(d, d + 28), intUpdate);
    ASSERT_EQ(BuildRealUpdate(d, 1, 15, 20, 1.5), 32u);
    EXPECT_EQ(GetInt32(d + 20), 20);
    const Bytes onePointFive = {0, 0, 0, 0, 0, 0, 0xF8, 0x3F};
    EXPECT_EQ(Bytes(d + 24, d + 32), onePointFive);
}

TEST(Wire, KeepAliveAndAddressRequestText) {
    unsigned char d[kMaxOutgoingSize];
    std::size_t n = BuildKeepAlive(d, sizeof d, 12, 15, "192.168.1.20", 9099, 1, 261206);
    EXPECT_EQ(Bytes(d + 20, d + n), linktest::WithText({}, " 192.168.1.20 9099 1 261206"));
    const Bytes header = {2, 0, 0, 0, 9, 0, 0, 0, 12, 0, 0, 0, 1, 0, 0, 0, 15, 0, 0, 0};
    EXPECT_EQ(Bytes(d, d + 20), header);
    n = BuildAddressRequest(d, sizeof d, 1, 15, "192.168.1.20", 9099, 1, 261206);
    EXPECT_EQ(Bytes(d + 20, d + n), linktest::WithText({}, "192.168.1.20 9099 1 261206\n"));
    EXPECT_EQ(DecodeHeader(d).itemCount, 0);
    EXPECT_EQ(DecodeHeader(d).msgType, 9);
}

}  // namespace
