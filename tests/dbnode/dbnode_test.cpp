// orv-dbnode without sockets: plan files, update encoding, the aircraft
// model and the answer to an address request.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "protocol/wire.h"
#include "tools/dbnode/aircraft_model.h"
#include "tools/dbnode/codec.h"
#include "tools/dbnode/node.h"
#include "tools/dbnode/plan_file.h"

namespace dbnode {
namespace {

TEST(PlanFile, ParsesNamedFieldsAndDefaults) {
    FlightPlan plan;
    std::string error;
    ASSERT_TRUE(ParsePlanText("# comment\n\n"
                              "lat=47.0 lon=8.0 speed=250 alt=5000 nav1=11390 vs=1200 crs1=45\r\n"
                              "  lat=47.0 lon=9.0\n",
                              7, &plan, &error))
        << error;
    EXPECT_EQ(plan.pointCount, 2);
    EXPECT_EQ(plan.serial, 7);
    const FlightPoint& p = plan.points[0];
    EXPECT_EQ(p.longitude, 8.0);
    EXPECT_EQ(p.speed, 250.0F);
    EXPECT_EQ(p.altitude, 5000.0F);
    EXPECT_EQ(p.nav1Frequency, 11390);
    EXPECT_EQ(p.verticalSpeed, 1200);
    EXPECT_EQ(p.nav1Course, 45);
    EXPECT_EQ(p.nav2Course, -1);                 // omitted: leave the course alone
    EXPECT_NEAR(p.course, 89.6, 0.1);            // omitted: bearing to the next point
    EXPECT_EQ(plan.points[1].course, 0.0F);      // last point: no leg after it
}

TEST(PlanFile, RejectsABadLineNamingIt) {
    auto error = [](const std::string& text) {
        FlightPlan plan;
        std::string message;
        EXPECT_FALSE(ParsePlanText(text, 1, &plan, &message)) << text;
        return message;
    };
    EXPECT_NE(error("lat=47 lon=8\nlat=47 lon=8 color=red\n").find("line 2: unknown field 'color'"),
              std::string::npos);
    EXPECT_NE(error("lat=47 lon=8 alt=5000ft\n").find("line 1: bad value for alt"), std::string::npos);
    EXPECT_NE(error("lat=47\n").find("needs lat and lon"), std::string::npos);
    EXPECT_NE(error("# nothing\n").find("no points"), std::string::npos);
}

// The width of each item comes from its variable's type: int 4, real 8.
TEST(Codec, UpdateItemWidthsFollowTheVariableType) {
    unsigned char buf[256];
    const UpdateItem items[] = {{1, 2.5}, {13, 7}, {221, 92.25}, {187, 1}, {222, -1}};
    int encoded = 0;
    const std::size_t n = EncodeUpdate(buf, sizeof buf, 42, items, 5, &encoded);
    ASSERT_EQ(n, 20u + (4 + 8) + (4 + 4) + (4 + 8) + (4 + 4));  // 187 (text) skipped
    EXPECT_EQ(encoded, 4);
    const DatagramHeader h = DecodeHeader(buf);
    EXPECT_EQ(h.msgClass, 1);
    EXPECT_EQ(h.msgType, 3);
    EXPECT_EQ(h.sequence, 42);
    EXPECT_EQ(h.itemCount, 4);
    EXPECT_EQ(GetInt32(buf + 20), 1);
    EXPECT_EQ(GetDouble(buf + 24), 2.5);
    EXPECT_EQ(GetInt32(buf + 32), 13);
    EXPECT_EQ(GetInt32(buf + 36), 7);
    EXPECT_EQ(GetInt32(buf + 40), 221);
    EXPECT_EQ(GetDouble(buf + 44), 92.25);
    EXPECT_EQ(GetInt32(buf + 52), 222);
    EXPECT_EQ(GetInt32(buf + 56), -1);

    std::vector<UpdateItem> back;
    ASSERT_EQ(DecodeUpdate(buf, n, &back), DecodeStatus::kOk);
    ASSERT_EQ(back.size(), 4u);
    EXPECT_EQ(back[2].value, 92.25);
    EXPECT_EQ(DecodeUpdate(buf, n - 4, &back), DecodeStatus::kTruncated);
}

void Fly(AircraftModel* m, double seconds) {
    double carry = 0;
    AdvanceModel(m, seconds, &carry);
}

TEST(AircraftModel, TurnsAtStandardRateToTheSelectedHeading) {
    AircraftModel m;
    StartAirborne(&m, 47, 8, 350, 5000, 250);
    ApplyVariable(&m, 122, 80);  // the short way, across north
    Fly(&m, 10);
    EXPECT_NEAR(m.heading, 20.0, 1e-6);
    Fly(&m, 30);
    EXPECT_EQ(m.heading, 80.0);  // and stops there
}

TEST(AircraftModel, ClimbsAtCommandedRateToSelectedAltitude) {
    AircraftModel m;
    StartAirborne(&m, 47, 8, 0, 3000, 250);
    ApplyVariable(&m, 123, 5000);
    ApplyVariable(&m, 20, 1500);
    Fly(&m, 60);
    EXPECT_NEAR(m.altitude, 4500.0, 0.01);
    EXPECT_NEAR(m.verticalSpeed, 1500.0, 1e-9);
    Fly(&m, 60);
    EXPECT_EQ(m.altitude, 5000.0);
    EXPECT_EQ(m.verticalSpeed, 0.0);
}

// With the altitude hold on and no vertical speed commanded, a selected
// altitude is still flown, at the default rate, both ways.
TEST(AircraftModel, ReachesSelectedAltitudeWithoutAVsCommand) {
    struct Row {
        double from, to, after60s;
    };
    for (const Row& row : {Row{3000, 5000, 4500}, Row{5000, 3000, 3500}, Row{3000, 3500, 3500}}) {
        AircraftModel m;
        StartAirborne(&m, 47, 8, 0, row.from, 250);
        ApplyVariable(&m, 123, row.to);
        Fly(&m, 60);
        EXPECT_NEAR(m.altitude, row.after60s, 0.01) << row.from << " to " << row.to;
    }
    AircraftModel held;
    StartAirborne(&held, 47, 8, 0, 3000, 250);
    ApplyVariable(&held, 25, 0);
    ApplyVariable(&held, 123, 5000);
    Fly(&held, 60);
    EXPECT_EQ(held.altitude, 3000.0);  // hold off: the selection alone moves nothing
}

TEST(AircraftModel, StandsStillWhilePaused) {
    AircraftModel m;
    StartAirborne(&m, 47, 8, 350, 3000, 250);
    ApplyVariable(&m, 122, 80);
    ApplyVariable(&m, 123, 5000);
    ApplyVariable(&m, 185, 0);
    const AircraftModel before = m;
    Fly(&m, 30);
    EXPECT_EQ(m.heading, before.heading);
    EXPECT_EQ(m.altitude, before.altitude);
    EXPECT_EQ(m.latitude, before.latitude);
    ApplyVariable(&m, 185, 1);
    Fly(&m, 10);
    EXPECT_NEAR(m.heading, 20.0, 1e-6);
}

std::vector<Outgoing> Request(Node* node, const char* text) {
    std::vector<unsigned char> d(20);
    EncodeHeader(d.data(), DatagramHeader{2, 9, 1, 0, 15});
    d.insert(d.end(), text, text + std::strlen(text));
    std::vector<Outgoing> sends;
    HandleRequestDatagram(node, d.data(), d.size(), &sends);
    return sends;
}

TEST(Node, RepliesToLoopbackAndPrivateAddressesOnly) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    Node node;
    std::string error;
    ASSERT_TRUE(InitNode(&node, NodeConfig{}, out, &error)) << error;

    EXPECT_TRUE(Request(&node, "203.0.113.20 9099 1 2\n").empty());
    EXPECT_TRUE(Request(&node, "172.32.0.1 9099 1 2\n").empty());
    EXPECT_FALSE(node.haveClient);
    const std::vector<Outgoing> sends = Request(&node, "127.0.0.1 9099 1 260101\n");
    ASSERT_FALSE(sends.empty());
    EXPECT_EQ(sends[0].to.address, 0x7F000001u);
    EXPECT_EQ(sends[0].to.port, 9099);
    const DatagramHeader reply = DecodeHeader(sends[0].bytes.data());
    EXPECT_EQ(reply.msgClass, 2);
    EXPECT_EQ(reply.msgType, 5);
    EXPECT_EQ(std::string(sends[0].bytes.begin() + 20, sends[0].bytes.end()), "127.0.0.1 9100");
    EXPECT_TRUE(node.haveClient);

    std::fclose(out);
    EXPECT_NE(std::string(text, size).find("REQUEST from 127.0.0.1 9099 version 1.260101"), std::string::npos);
    std::free(text);
}

}  // namespace
}  // namespace dbnode
