// Dotted IPv4 text read and written the same on every system: the system's
// own inet_pton is the judge of what is an address.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include "platform/ipv4.h"

namespace {

TEST(Ipv4Text, ParsesWhatInetPtonTakesAndFormatsItBack) {
    for (const char* text : {"0.0.0.0", "10.0.0.7", "255.255.255.255", "192.168.1.20", "1.2.3",
                             "1.2.3.4.", ".1.2.3.4", "1..2.3", "01.2.3.4", "1.2.3.256", "1.2.3.4 ",
                             " 1.2.3.4", "1.2.3.-4", "1.2.3.0x4", "", "1.2.3.1000", "a.b.c.d"}) {
        in_addr expected{};
        const bool valid = inet_pton(AF_INET, text, &expected) == 1;
        std::uint32_t address = 0;
        ASSERT_EQ(platform::ParseIpv4(text, &address), valid) << text;
        if (!valid) continue;
        EXPECT_EQ(address, ntohl(expected.s_addr)) << text;
        EXPECT_EQ(platform::FormatIpv4(address), text);
    }
    EXPECT_FALSE(platform::IsPrivateIpv4(0xAC200001));  // 172.32.0.1, just above 172.16/12
}

}  // namespace
