// Which host address the monitor socket binds and announces, and the
// broadcast address computed from the adapter list.
#include <gtest/gtest.h>

#include "link/address_choice.h"
#include "link/net_init.h"

namespace {

std::uint32_t Ip(const char* text) {
    std::uint32_t a = 0;
    EXPECT_TRUE(platform::ParseIpv4(text, &a)) << text;
    return a;
}

TEST(HostAddressChoice, OnlyLoopbackIsBoundAndAnnounced) {
    const HostAddressChoice c = ChooseHostAddresses({"127.0.0.1"});
    EXPECT_EQ(c.boundIp, "127.0.0.1");
    EXPECT_EQ(c.selectedIp, "127.0.0.1");
}

TEST(HostAddressChoice, LastOfTwoOrdinaryAddressesWins) {
    const HostAddressChoice c = ChooseHostAddresses({"192.168.1.20", "10.0.0.7"});
    EXPECT_EQ(c.boundIp, "10.0.0.7");
    EXPECT_EQ(c.selectedIp, "10.0.0.7");
}

TEST(HostAddressChoice, TrailingLoopbackIsBoundButLastOrdinaryIsAnnounced) {
    const HostAddressChoice c = ChooseHostAddresses({"10.0.0.7", "192.168.1.20", "127.0.1.1"});
    EXPECT_EQ(c.boundIp, "127.0.1.1");
    EXPECT_EQ(c.selectedIp, "192.168.1.20");
}

TEST(HostAddressChoice, NothingResolvedBindsAnyAndAnnouncesIt) {
    const HostAddressChoice c = ChooseHostAddresses({});
    EXPECT_EQ(c.boundIp, "0.0.0.0");
    EXPECT_EQ(c.selectedIp, "0.0.0.0");
}

TEST(HostAddressChoice, OnlyThePrefix127CountsAsLoopback) {
    // "12.7..." and "1.27..." are ordinary addresses.
    EXPECT_EQ(ChooseHostAddresses({"12.7.0.1"}).selectedIp, "12.7.0.1");
    EXPECT_EQ(ChooseHostAddresses({"1.27.0.1", "127.0.0.1"}).selectedIp, "1.27.0.1");
}

TEST(Broadcast, ClassCNetwork) {
    const BroadcastChoice b = ComputeBroadcast(Ip("192.168.1.20"), Ip("255.255.255.0"));
    EXPECT_EQ(platform::FormatIpv4(b.network), "192.168.1.0");
    EXPECT_EQ(platform::FormatIpv4(b.broadcast.address), "192.168.1.255");
    EXPECT_EQ(b.broadcast.port, 9019);
}

TEST(Broadcast, UnalignedMaskAndLoopback) {
    EXPECT_EQ(platform::FormatIpv4(ComputeBroadcast(Ip("10.1.77.3"), Ip("255.255.240.0")).broadcast.address),
              "10.1.79.255");
    EXPECT_EQ(platform::FormatIpv4(ComputeBroadcast(Ip("127.0.0.1"), Ip("255.0.0.0")).broadcast.address),
              "127.255.255.255");
}

TEST(Broadcast, LastAdapterDecides) {
    const std::vector<platform::Adapter> adapters = {
        {"eth0", "10.0.0.7", "255.0.0.0"},
        {"wlan0", "192.168.1.20", "255.255.255.0"},
    };
    const auto b = ChooseBroadcast(adapters);
    ASSERT_TRUE(b.has_value());
    EXPECT_EQ(platform::FormatIpv4(b->broadcast.address), "192.168.1.255");
    EXPECT_FALSE(ChooseBroadcast({}).has_value());
    EXPECT_FALSE(ChooseBroadcast({{"bad", "not.an.ip", "255.0.0.0"}}).has_value());
}

TEST(Broadcast, GivenAddressAndMaskOverrideTheAdapters) {
    const auto b = SelectBroadcastAddress(false, "172.16.5.9", "255.255.0.0");
    ASSERT_TRUE(b.has_value());
    EXPECT_EQ(platform::FormatIpv4(b->address), "172.16.255.255");
    EXPECT_EQ(b->port, 9019);
}

TEST(Broadcast, InAPrivateNamespaceLoopbackIsTheOnlyAdapter) {
    std::vector<platform::Adapter> adapters;
    ASSERT_TRUE(platform::GetAdapterList(&adapters));
    ASSERT_EQ(adapters.size(), 1u);
    EXPECT_EQ(adapters[0].address, "127.0.0.1");
    EXPECT_EQ(adapters[0].mask, "255.0.0.0");
    const auto b = SelectBroadcastAddress(false, "", "");
    ASSERT_TRUE(b.has_value());
    EXPECT_EQ(platform::FormatIpv4(b->address), "127.255.255.255");
}

TEST(Ipv4Text, RoundTripAndRejects) {
    EXPECT_EQ(platform::FormatIpv4(Ip("10.0.0.5")), "10.0.0.5");
    std::uint32_t a = 0;
    EXPECT_FALSE(platform::ParseIpv4("10.0.0", &a));
    EXPECT_FALSE(platform::ParseIpv4("10.0.0.256", &a));
    EXPECT_FALSE(platform::ParseIpv4("localhost", &a));
}

}  // namespace
