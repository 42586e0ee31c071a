#include "tools/dbnode/codec.h"

#include <gtest/gtest.h>

#include <cstring>

#include "link/wire.h"
#include "tools/dbnode/var_types.h"

namespace dbnode {
namespace {

TEST(VarTypes, WidthsFollowTheClientsTable) {
    EXPECT_EQ(ValueWidth(0), 8u);    // real
    EXPECT_EQ(ValueWidth(13), 4u);   // int
    EXPECT_EQ(ValueWidth(16), 8u);   // real, local to the client
    EXPECT_EQ(ValueWidth(20), 8u);   // vertical speed setting is real
    EXPECT_EQ(ValueWidth(122), 4u);  // heading command is int
    EXPECT_EQ(ValueWidth(212), 8u);
    EXPECT_EQ(ValueWidth(222), 4u);
    EXPECT_EQ(ValueWidth(168), 0u);  // not defined
    EXPECT_EQ(ValueWidth(187), 0u);  // text
    EXPECT_EQ(ValueWidth(237), 0u);
    EXPECT_EQ(ValueWidth(-1), 0u);
}

TEST(Codec, UpdateWidthsPerItemType) {
    unsigned char buf[256];
    const UpdateItem items[] = {{1, 2.5}, {13, 7}};
    int encoded = 0;
    const std::size_t n = EncodeUpdate(buf, sizeof buf, 42, items, 2, &encoded);
    ASSERT_EQ(n, 20u + 4 + 8 + 4 + 4);
    EXPECT_EQ(encoded, 2);
    const DatagramHeader h = DecodeHeader(buf);
    EXPECT_EQ(h.msgClass, 1);
    EXPECT_EQ(h.msgType, 3);
    EXPECT_EQ(h.sequence, 42);
    EXPECT_EQ(h.itemCount, 2);
    EXPECT_EQ(GetInt32(buf + 20), 1);
    EXPECT_EQ(GetDouble(buf + 24), 2.5);
    EXPECT_EQ(GetInt32(buf + 32), 13);
    EXPECT_EQ(GetInt32(buf + 36), 7);
}

TEST(Codec, UpdateSkipsVariablesWithoutValues) {
    unsigned char buf[256];
    const UpdateItem items[] = {{168, 1}, {187, 1}, {222, -1}};
    int encoded = 0;
    const std::size_t n = EncodeUpdate(buf, sizeof buf, 1, items, 3, &encoded);
    ASSERT_EQ(n, 28u);
    EXPECT_EQ(encoded, 1);
    EXPECT_EQ(GetInt32(buf + 20), 222);
    EXPECT_EQ(GetInt32(buf + 24), -1);
    const UpdateItem none[] = {{168, 1}};
    EXPECT_EQ(EncodeUpdate(buf, sizeof buf, 1, none, 1, &encoded), 0u);
}

TEST(Codec, UpdateStopsAtCapacity) {
    unsigned char buf[20 + 12 + 8];
    const UpdateItem items[] = {{11, 47.0}, {13, 1}, {12, 8.0}};
    int encoded = 0;
    const std::size_t n = EncodeUpdate(buf, sizeof buf, 1, items, 3, &encoded);
    EXPECT_EQ(n, 20u + 12 + 8);
    EXPECT_EQ(encoded, 2);
    EXPECT_EQ(DecodeHeader(buf).itemCount, 2);
}

TEST(Codec, DecodeRoundTrip) {
    unsigned char buf[256];
    const UpdateItem items[] = {{221, 92.25}, {222, 3}, {20, -1800.0001}};
    int encoded = 0;
    const std::size_t n = EncodeUpdate(buf, sizeof buf, 5, items, 3, &encoded);
    std::vector<UpdateItem> out;
    ASSERT_EQ(DecodeUpdate(buf, n, &out), DecodeStatus::kOk);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].index, 221);
    EXPECT_EQ(out[0].value, 92.25);
    EXPECT_EQ(out[1].value, 3);
    EXPECT_EQ(out[2].value, -1800.0001);
}

TEST(Codec, DecodeRejectsMalformedUpdates) {
    unsigned char buf[64] = {};
    std::vector<UpdateItem> out;
    EXPECT_EQ(DecodeUpdate(buf, 19, &out), DecodeStatus::kShort);

    EncodeHeader(buf, DatagramHeader{2, 9, 1, 1, 15});
    EXPECT_EQ(DecodeUpdate(buf, 20, &out), DecodeStatus::kNotUpdate);

    EncodeHeader(buf, DatagramHeader{1, 3, 1, 1, 15});
    PutInt32(buf + 20, 237);
    EXPECT_EQ(DecodeUpdate(buf, 28, &out), DecodeStatus::kBadIndex);
    PutInt32(buf + 20, -5);
    EXPECT_EQ(DecodeUpdate(buf, 28, &out), DecodeStatus::kBadIndex);
    PutInt32(buf + 20, 168);
    EXPECT_EQ(DecodeUpdate(buf, 28, &out), DecodeStatus::kBadType);

    // A real needs 8 bytes: 28 bytes is one int's worth.
    PutInt32(buf + 20, 221);
    EXPECT_EQ(DecodeUpdate(buf, 28, &out), DecodeStatus::kTruncated);
    EXPECT_EQ(DecodeUpdate(buf, 32, &out), DecodeStatus::kOk);

    // Two items announced, one present.
    EncodeHeader(buf, DatagramHeader{1, 3, 1, 2, 15});
    PutInt32(buf + 20, 222);
    EXPECT_EQ(DecodeUpdate(buf, 28, &out), DecodeStatus::kTruncated);
    EncodeHeader(buf, DatagramHeader{1, 3, 1, -1, 15});
    EXPECT_EQ(DecodeUpdate(buf, 28, &out), DecodeStatus::kTruncated);

    // No items: fine, nothing to apply.
    EncodeHeader(buf, DatagramHeader{1, 3, 1, 0, 15});
    EXPECT_EQ(DecodeUpdate(buf, 20, &out), DecodeStatus::kOk);
    EXPECT_TRUE(out.empty());
}

TEST(Codec, ControlMessages) {
    unsigned char buf[2000];
    std::size_t n = EncodeKeepAlive(buf, sizeof buf, 7);
    ASSERT_GT(n, 20u);
    EXPECT_EQ(DecodeHeader(buf).msgClass, 2);
    EXPECT_EQ(DecodeHeader(buf).msgType, 9);
    EXPECT_EQ(DecodeHeader(buf).itemCount, 1);

    n = EncodeAddressReply(buf, sizeof buf, 8, "127.0.0.1", 9100);
    ASSERT_EQ(n, 20u + std::strlen("127.0.0.1 9100"));
    EXPECT_EQ(DecodeHeader(buf).msgType, 5);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf + 20), n - 20), "127.0.0.1 9100");

    FlightPlan plan{};
    plan.pointCount = 2;
    plan.serial = 9;
    plan.points[1].altitude = 5000.0F;
    n = EncodeFlightPlan(buf, sizeof buf, 9, plan);
    ASSERT_EQ(n, 1108u);
    EXPECT_EQ(DecodeHeader(buf).msgClass, 1);
    EXPECT_EQ(DecodeHeader(buf).msgType, 10);
    EXPECT_EQ(GetInt32(buf + 20), 2);
    EXPECT_EQ(GetInt32(buf + 24), 9);
    float altitude = 0;
    std::memcpy(&altitude, buf + 20 + 8 + 72 + 20, 4);
    EXPECT_EQ(altitude, 5000.0F);
    EXPECT_EQ(EncodeFlightPlan(buf, 1107, 9, plan), 0u);
}

TEST(Codec, AddressRequestText) {
    AddressRequest r;
    const char ok[] = "127.0.0.1 9099 1 260101\n";
    ASSERT_TRUE(ParseAddressRequest(reinterpret_cast<const unsigned char*>(ok), sizeof ok - 1, &r));
    EXPECT_EQ(r.address, "127.0.0.1");
    EXPECT_EQ(r.port, 9099);
    EXPECT_EQ(r.versionMajor, 1);
    EXPECT_EQ(r.versionMinor, 260101);

    const char noPort[] = "127.0.0.1\n";
    EXPECT_FALSE(ParseAddressRequest(reinterpret_cast<const unsigned char*>(noPort), sizeof noPort - 1, &r));
    const char badPort[] = "127.0.0.1 0 1 2\n";
    EXPECT_FALSE(ParseAddressRequest(reinterpret_cast<const unsigned char*>(badPort), sizeof badPort - 1, &r));
    // The payload need not be terminated: only `length` bytes count.
    const unsigned char cut[] = {'1', '2', '7', '.', '0', '.', '0', '.', '1', ' ', '9', '0', '9', '9', ' ', '1', ' ', '5', '7'};
    ASSERT_TRUE(ParseAddressRequest(cut, 18, &r));
    EXPECT_EQ(r.versionMinor, 5);
}

}  // namespace
}  // namespace dbnode
