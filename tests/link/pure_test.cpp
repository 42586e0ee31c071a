// The pure decisions of start-up (host address, broadcast address) and the
// bytes this client puts on the wire.
#include <gtest/gtest.h>

#include <cstring>

#include "link/address_choice.h"
#include "link/link_state.h"
#include "link/net_init.h"
#include "link/receiver.h"
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
        {{}, "0.0.0.0", "0.0.0.0"},
        {{"127.0.0.1"}, "127.0.0.1", "127.0.0.1"},
        {{"192.168.1.20", "10.0.0.7"}, "10.0.0.7", "10.0.0.7"},
        {{"10.0.0.7", "192.168.1.20", "127.0.1.1"}, "127.0.1.1", "192.168.1.20"},
    };
    for (const Case& c : cases) {
        const HostAddressChoice choice = ChooseHostAddresses(c.addresses);
        EXPECT_EQ(choice.boundIp, c.bound) << c.addresses.back();
        EXPECT_EQ(choice.selectedIp, c.selected) << c.addresses.size();
    }
}

// Host name and address lookups as start-up meets them.
std::vector<std::string> fakeAddresses;
bool NameFails(char*, std::size_t) { return false; }
bool NameIsHost(char* buffer, std::size_t size) { return std::snprintf(buffer, size, "host") > 0; }
bool ResolveFails(const char*, platform::HostEntry*) { return false; }
bool ResolveFake(const char*, platform::HostEntry* out) {
    out->officialName = "host.example";
    out->addresses = fakeAddresses;
    return true;
}

TEST(FindHostAddressTest, BindsAndAnnouncesWhatTheChoiceSays) {
    const struct {
        HostLookup lookup;
        std::vector<std::string> addresses;
        const char *bound, *selected, *hostLine;
    } cases[] = {
        {{&NameFails, &ResolveFails}, {}, "0.0.0.0", "0.0.0.0", "Hostname: NotInitialized\n"},
        {{&NameIsHost, &ResolveFake}, {"127.0.0.1"}, "127.0.0.1", "127.0.0.1", "Hostname: host\n"},
        {{&NameIsHost, &ResolveFake}, {"10.0.0.7", "127.0.1.1"}, "127.0.1.1", "10.0.0.7", "Hostname: host\n"},
    };
    for (const auto& c : cases) {
        std::snprintf(hostName, sizeof hostName, "NotInitialized");
        std::snprintf(boundIp, sizeof boundIp, "0.0.0.0");
        selectedIp[0] = '\0';
        fakeAddresses = c.addresses;
        const std::size_t logStart = linktest::ProcessLog().size();
        FindHostAddress(c.lookup);
        EXPECT_STREQ(boundIp, c.bound);
        EXPECT_STREQ(selectedIp, c.selected);
        const std::string log = linktest::ProcessLog().substr(logStart);
        EXPECT_EQ(linktest::CountOf(log, c.hostLine), 1) << log;
        EXPECT_EQ(linktest::CountOf(log, "Selected IP: "), c.addresses.size() == 2 ? 1 : 0) << log;
    }
}

TEST(AddressReply, PortIsReadAsDecimalWithoutOverflow) {
    const struct { const char* text; std::int32_t port; } cases[] = {  // port 0: rejected
        {"10.0.0.5 9100", 9100},  {"10.0.0.5   +9100", 9100}, {"10.0.0.5 9100 trailing", 9100},
        {"10.0.0.5 00065535", 65535}, {"10.0.0.5 1", 1},       {"10.0.0.5 9100x", 9100},
        {"127.0.0.1 4294976396", 0}, {"10.0.0.5 65536", 0},   {"10.0.0.5 -1", 0},
        {"10.0.0.5 0", 0},           {"10.0.0.5 -4294967295", 0}, {"10.0.0.5 x9100", 0},
        {"10.0.0.5 1844674407370955161600", 0}, {"10.0.0.5", 0}, {"", 0},
    };
    for (const auto& c : cases) {
        char address[kDbAddressSize] = "";
        std::int32_t port = 0;
        EXPECT_EQ(ParseAddressReply(c.text, address, &port), c.port != 0) << c.text;
        if (c.port != 0) {
            EXPECT_EQ(port, c.port) << c.text;
            EXPECT_STREQ(address, "10.0.0.5") << c.text;
        }
    }
}

platform::Adapter MakeAdapter(const char* name, const char* address, const char* mask) {
    return {name, name, address, mask, {address}};
}

TEST(Broadcast, LastAdapterDecides) {
    const auto b = ChooseBroadcast({MakeAdapter("eth0", "10.0.0.7", "255.0.0.0"),
                                    MakeAdapter("wlan0", "192.168.1.20", "255.255.255.0")});
    ASSERT_TRUE(b.has_value());
    EXPECT_EQ(platform::FormatIpv4(b->network), "192.168.1.0");
    EXPECT_EQ(platform::FormatIpv4(b->broadcast.address), "192.168.1.255");
    EXPECT_EQ(b->broadcast.port, 9019);
    EXPECT_FALSE(ChooseBroadcast({}).has_value());
    EXPECT_FALSE(ChooseBroadcast({MakeAdapter("bad", "not.an.ip", "255.0.0.0")}).has_value());
}

TEST(Broadcast, AdapterKeywordChoosesByNameDescriptionOrAnyAddress) {
    std::vector<platform::Adapter> list = {{"Eth0", "Wired LAN", "10.0.0.7", "255.0.0.0", {"10.0.0.7", "10.9.9.9"}},
                                           MakeAdapter("wlan0", "192.168.1.20", "255.255.255.0")};
    const struct { const char* key; std::optional<std::size_t> index; } cases[] = {
        {"", 1}, {"eth0", 0}, {"ETH0", 0}, {"wired lan", 0}, {"10.9.9.9", 0}, {"192.168.1.20", 1},
        {"eth7", std::nullopt}, {"10.0.0.", std::nullopt}, {"wlan", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ChooseAdapter(list, c.key), c.index) << c.key;
    // The chosen adapter's first address and mask decide, whichever address named it.
    EXPECT_EQ(ChooseBroadcast(list, "10.9.9.9").value().broadcast.address, 0x0AFFFFFFu);
}

// Where start-up binds and sends, from the adapter list as read and the
// parameter file's keywords; nothing opened.
TEST(LinkPlanTest, KeywordsAndAdapterListChooseTheEndpoints) {
    using Status = platform::AdapterListStatus;
    const std::vector<platform::Adapter> list = {MakeAdapter("eth0", "10.0.0.7", "255.0.0.0"),
                                                 MakeAdapter("wlan0", "192.168.1.20", "255.255.255.0")};
    const std::uint32_t node = 0xC0A80205;  // 192.168.2.5
    const struct {
        const char* adapter;
        std::optional<std::uint32_t> dbNode;
        Status status;
        bool missing;
        const char* chosen;  // nullptr: none
        std::optional<std::uint32_t> requestsTo;
    } cases[] = {
        {"", std::nullopt, Status::Ok, false, nullptr, 0xC0A801FF},
        {"ETH0", std::nullopt, Status::Ok, false, "eth0", 0x0AFFFFFF},
        {"192.168.1.20", node, Status::Ok, false, "wlan0", node},
        {"", node, Status::ReadFailed, false, nullptr, node},
        {"", std::nullopt, Status::NoLargerBuffer, false, nullptr, std::nullopt},
        {"eth7", std::nullopt, Status::Ok, true, nullptr, std::nullopt},
        {"eth0", std::nullopt, Status::ReadFailed, true, nullptr, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.adapter) + " " + std::to_string(static_cast<int>(c.status)));
        const LinkPlan plan = PlanLink({c.adapter, c.dbNode}, c.status, list);
        EXPECT_EQ(plan.adapterMissing, c.missing);
        EXPECT_EQ(plan.chosen.has_value(), c.chosen != nullptr);
        if (c.chosen != nullptr && plan.chosen) {
            EXPECT_EQ(plan.chosen->name, c.chosen);
        }
        ASSERT_EQ(plan.requestsTo.has_value(), c.requestsTo.has_value());
        if (!c.requestsTo) continue;
        EXPECT_EQ(plan.requestsTo->address, *c.requestsTo);
        EXPECT_EQ(plan.requestsTo->port, 9019);
    }
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
