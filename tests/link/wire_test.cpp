// The bytes this client puts on the wire.
#include <gtest/gtest.h>

#include "link/wire.h"
#include "tests/link/link_test_support.h"

namespace {

using linktest::Bytes;

Bytes Of(const unsigned char* p, std::size_t n) { return Bytes(p, p + n); }

TEST(Wire, IntegerUpdateIs28LittleEndianBytes) {
    unsigned char d[64];
    ASSERT_EQ(BuildIntUpdate(d, 999, 15, 47, -2), 28u);
    const Bytes expected = {1, 0, 0, 0, 3, 0, 0, 0, 0xE7, 3, 0, 0, 1, 0, 0, 0, 15, 0, 0, 0,
                            47, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(Of(d, 28), expected);
}

TEST(Wire, RealUpdateIs32BytesWithADoubleValue) {
    unsigned char d[64];
    ASSERT_EQ(BuildRealUpdate(d, 1, 15, 20, 1.5), 32u);
    EXPECT_EQ(GetInt32(d + 12), 1);
    EXPECT_EQ(GetInt32(d + 20), 20);
    // 1.5 is 0x3FF8000000000000.
    const Bytes value = {0, 0, 0, 0, 0, 0, 0xF8, 0x3F};
    EXPECT_EQ(Of(d + 24, 8), value);
}

TEST(Wire, TwoItemUpdateFromTheDbNodeIs40Bytes) {
    const Bytes d = linktest::Update({{1, true, 0, 2.25}, {13, false, 77, 0.0}});
    ASSERT_EQ(d.size(), 40u);
    EXPECT_EQ(GetInt32(d.data() + 12), 2);
    EXPECT_EQ(GetDouble(d.data() + 24), 2.25);
    EXPECT_EQ(GetInt32(d.data() + 32), 13);
    EXPECT_EQ(GetInt32(d.data() + 36), 77);
}

TEST(Wire, KeepAliveTextHasALeadingBlankAndNoLineEnd) {
    unsigned char d[kMaxOutgoingSize];
    const std::size_t n = BuildKeepAlive(d, sizeof d, 12, 15, "192.168.1.20", 9099, 1, 261206);
    const std::string text = " 192.168.1.20 9099 1 261206";
    ASSERT_EQ(n, 20 + text.size());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d) + 20, n - 20), text);
    const DatagramHeader h = DecodeHeader(d);
    EXPECT_EQ(h.msgClass, 2);
    EXPECT_EQ(h.msgType, 9);
    EXPECT_EQ(h.sequence, 12);
    EXPECT_EQ(h.itemCount, 1);
    EXPECT_EQ(h.senderId, 15);
}

TEST(Wire, AddressRequestTextEndsInALineFeedAndCountsNoItems) {
    unsigned char d[kMaxOutgoingSize];
    const std::size_t n = BuildAddressRequest(d, sizeof d, 1, 15, "192.168.1.20", 9099, 1, 261206);
    const std::string text = "192.168.1.20 9099 1 261206\n";
    ASSERT_EQ(n, 20 + text.size());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d) + 20, n - 20), text);
    EXPECT_EQ(DecodeHeader(d).itemCount, 0);
    EXPECT_EQ(DecodeHeader(d).msgType, 9);
}

TEST(Wire, ControlTextThatDoesNotFitIsRefused) {
    unsigned char d[30];
    EXPECT_EQ(BuildKeepAlive(d, sizeof d, 1, 15, "192.168.1.20", 9099, 1, 261206), 0u);
    const std::string longIp(100, '9');
    unsigned char big[kMaxOutgoingSize];
    EXPECT_GT(BuildAddressRequest(big, sizeof big, 1, 15, longIp.c_str(), 9099, -2147483647 - 1,
                                  -2147483647 - 1),
              0u);
}

}  // namespace
