#include "tools/dbnode/node.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>

#include "link/wire.h"
#include "tools/dbnode/codec.h"

namespace dbnode {
namespace {

// A node whose printed lines are captured in memory.
class NodeTest : public ::testing::Test {
protected:
    void SetUp() override { out_ = open_memstream(&text_, &size_); }
    void TearDown() override {
        std::fclose(out_);
        std::free(text_);
    }
    std::string Printed() {
        std::fflush(out_);
        return std::string(text_, size_);
    }
    void Init(NodeConfig config) {
        std::string error;
        ASSERT_TRUE(InitNode(&node_, config, out_, &error)) << error;
    }
    std::vector<Outgoing> Request(const char* text) {
        std::vector<unsigned char> d(20);
        EncodeHeader(d.data(), DatagramHeader{2, 9, 1, 0, 15});
        d.insert(d.end(), text, text + std::strlen(text));
        std::vector<Outgoing> sends;
        HandleRequestDatagram(&node_, d.data(), d.size(), &sends);
        return sends;
    }
    void ClientSets(int index, double value) {
        unsigned char buf[64];
        const UpdateItem item{index, value};
        int encoded = 0;
        const std::size_t n = EncodeUpdate(buf, sizeof buf, 1, &item, 1, &encoded);
        std::vector<Outgoing> sends;
        HandleDataDatagram(&node_, buf, n, &sends);
    }
    // Every variable carried by the update datagrams among `sends`, last value wins.
    static std::map<int, double> Carried(const std::vector<Outgoing>& sends) {
        std::map<int, double> values;
        for (const Outgoing& o : sends) {
            std::vector<UpdateItem> items;
            if (DecodeUpdate(o.bytes.data(), o.bytes.size(), &items) != DecodeStatus::kOk) continue;
            for (const UpdateItem& i : items) values[i.index] = i.value;
        }
        return values;
    }
    std::vector<Outgoing> Tick(double now) {
        std::vector<Outgoing> sends;
        TickNode(&node_, now, &sends);
        return sends;
    }

    Node node_;
    std::FILE* out_ = nullptr;
    char* text_ = nullptr;
    std::size_t size_ = 0;
};

std::string WritePlan() {
    const std::string path = ::testing::TempDir() + "/dbnode_node_test_plan.txt";
    std::ofstream(path) << "lat=47 lon=8 alt=5000\nlat=47.3 lon=8 alt=6000\n";
    return path;
}

TEST_F(NodeTest, AnswersAnAddressRequestAndSendsThePlan) {
    NodeConfig config;
    config.planFile = WritePlan();
    config.planSerial = 4;
    Init(config);
    const std::vector<Outgoing> sends = Request("127.0.0.1 9099 1 260101\n");
    ASSERT_EQ(sends.size(), 2u);
    EXPECT_EQ(sends[0].to.address, 0x7F000001u);
    EXPECT_EQ(sends[0].to.port, 9099);
    const DatagramHeader reply = DecodeHeader(sends[0].bytes.data());
    EXPECT_EQ(reply.msgClass, 2);
    EXPECT_EQ(reply.msgType, 5);
    EXPECT_EQ(std::string(sends[0].bytes.begin() + 20, sends[0].bytes.end()), "127.0.0.1 9100");
    ASSERT_EQ(sends[1].bytes.size(), 1108u);
    EXPECT_EQ(DecodeHeader(sends[1].bytes.data()).msgType, 10);
    EXPECT_EQ(GetInt32(sends[1].bytes.data() + 20), 2);
    EXPECT_EQ(GetInt32(sends[1].bytes.data() + 24), 4);
    EXPECT_NE(Printed().find("REQUEST from 127.0.0.1 9099 version 1.260101"), std::string::npos);
}

TEST_F(NodeTest, NeverAnswersOutsideLoopback) {
    Init(NodeConfig{});
    EXPECT_TRUE(Request("192.168.1.20 9099 1 2\n").empty());
    EXPECT_TRUE(Request("host 9099 1 2\n").empty());
    EXPECT_TRUE(Request("127.0.0.1\n").empty());
    EXPECT_FALSE(node_.haveClient);
    EXPECT_NE(Printed().find("REFUSED 192.168.1.20"), std::string::npos);
    EXPECT_TRUE(Tick(1).empty());  // no client: nothing streams
}

TEST_F(NodeTest, StreamsStateWithConnectedAndKeepAlives) {
    NodeConfig config;
    config.airborne = true;
    config.start[0] = 46.8;
    config.start[1] = 8.0;
    config.start[3] = 3000;
    config.start[4] = 250;
    Init(config);
    Request("127.0.0.1 9099 1 2\n");
    const std::vector<Outgoing> sends = Tick(0.1);
    const std::map<int, double> v = Carried(sends);
    EXPECT_EQ(v.at(52), 1);
    EXPECT_NEAR(v.at(11), 46.8, 0.01);
    EXPECT_EQ(v.at(54), 3000);
    EXPECT_EQ(v.at(170), 1);
    EXPECT_EQ(v.at(50), 1);
    EXPECT_EQ(v.at(25), 1);
    EXPECT_EQ(v.count(222), 0u);  // never told: the client's own -1 stands
    bool keepAlive = false;
    for (const Outgoing& o : sends) keepAlive |= DecodeHeader(o.bytes.data()).msgClass == 2;
    EXPECT_TRUE(keepAlive);
}

TEST_F(NodeTest, DisconnectedScenarioReportsZero) {
    NodeConfig config;
    config.connected = false;
    Init(config);
    Request("127.0.0.1 9099 1 2\n");
    EXPECT_EQ(Carried(Tick(0.1)).at(52), 0);
}

TEST_F(NodeTest, SetsAreRecordedAppliedAndEchoed) {
    NodeConfig config;
    config.airborne = true;
    config.start[3] = 3000;
    config.start[4] = 250;
    Init(config);
    Request("127.0.0.1 9099 1 2\n");
    Tick(0.1);
    ClientSets(122, 90);
    ClientSets(221, 92.5);
    ClientSets(172, 0);
    const std::map<int, double> v = Carried(Tick(0.3));
    EXPECT_EQ(v.at(122), 90);
    EXPECT_EQ(v.at(15), 90);
    EXPECT_EQ(v.at(221), 92.5);
    EXPECT_EQ(v.at(170), 0);
    const std::string printed = Printed();
    EXPECT_NE(printed.find("SET 122 = 90\n"), std::string::npos);
    EXPECT_NE(printed.find("SET 221 = 92.5\n"), std::string::npos);
    EXPECT_EQ(node_.sets.at(122).count, 1);
}

TEST_F(NodeTest, ActivePointChangesArePrintedOnce) {
    Init(NodeConfig{});
    Request("127.0.0.1 9099 1 2\n");
    for (double p : {0.0, 0.0, 1.0, 2.0, 2.0, -1.0}) ClientSets(222, p);
    const std::string printed = Printed();
    EXPECT_NE(printed.find("ACTIVE POINT 0\nSET 222 = 0\nSET 222 = 1\nACTIVE POINT 1\n"), std::string::npos)
        << printed;
    EXPECT_NE(printed.find("ACTIVE POINT NONE"), std::string::npos);
    std::size_t count = 0;
    for (std::size_t at = printed.find("ACTIVE POINT 2"); at != std::string::npos;
         at = printed.find("ACTIVE POINT 2", at + 1)) {
        ++count;
    }
    EXPECT_EQ(count, 1u);
}

TEST_F(NodeTest, ArmsLnavAndVnavAfterTheResetForThePlan) {
    NodeConfig config;
    config.planFile = WritePlan();
    config.armNav = true;
    Init(config);
    Request("127.0.0.1 9099 1 2\n");
    Tick(0.1);
    ClientSets(218, 0);
    ClientSets(220, 0);
    std::map<int, double> v = Carried(Tick(0.3));
    EXPECT_EQ(v.at(218), 0);
    ClientSets(222, 0);
    v = Carried(Tick(0.5));
    EXPECT_EQ(v.at(218), 1);
    EXPECT_EQ(v.at(220), 1);
    EXPECT_NE(Printed().find("ARMED LNAV VNAV"), std::string::npos);
    // Once only: the end of the plan disarms and it stays so.
    ClientSets(218, 0);
    ClientSets(222, 0);
    EXPECT_EQ(Carried(Tick(0.7)).at(218), 0);
}

TEST_F(NodeTest, SilentSendsNothing) {
    Init(NodeConfig{});
    Request("127.0.0.1 9099 1 2\n");
    std::vector<Outgoing> sends;
    Command silent;
    silent.kind = CommandKind::kSilent;
    silent.numbers[0] = 5;
    ExecuteCommand(&node_, silent, 1.0, &sends);
    EXPECT_TRUE(Tick(1.1).empty());
    EXPECT_TRUE(Tick(5.9).empty());
    EXPECT_TRUE(Request("127.0.0.1 9099 1 2\n").empty());
    EXPECT_FALSE(Tick(6.1).empty());
}

TEST_F(NodeTest, UpdatesOffKeepsKeepAlives) {
    Init(NodeConfig{});
    Request("127.0.0.1 9099 1 2\n");
    Command off;
    off.kind = CommandKind::kUpdates;
    off.flag = false;
    std::vector<Outgoing> sends;
    ExecuteCommand(&node_, off, 0.0, &sends);
    const std::vector<Outgoing> ticked = Tick(3.0);
    ASSERT_EQ(ticked.size(), 1u);
    EXPECT_EQ(DecodeHeader(ticked[0].bytes.data()).msgClass, 2);
}

TEST_F(NodeTest, BadDatagrams) {
    Init(NodeConfig{});
    Request("127.0.0.1 9099 1 2\n");
    auto bad = [&](BadKind kind) {
        Command c;
        c.kind = CommandKind::kBad;
        c.bad = kind;
        std::vector<Outgoing> sends;
        ExecuteCommand(&node_, c, 0.0, &sends);
        EXPECT_EQ(sends.size(), 1u);
        return sends.empty() ? std::vector<unsigned char>{} : sends[0].bytes;
    };
    EXPECT_EQ(bad(BadKind::kShort).size(), 10u);
    EXPECT_EQ(bad(BadKind::kOversize).size(), 5000u);
    EXPECT_EQ(bad(BadKind::kPlanSize).size(), 1107u);
    std::vector<unsigned char> d = bad(BadKind::kIndex);
    EXPECT_EQ(GetInt32(d.data() + 20), 236);
    d = bad(BadKind::kType);
    EXPECT_EQ(GetInt32(d.data() + 20), 168);
    std::vector<UpdateItem> items;
    d = bad(BadKind::kTruncated);
    EXPECT_EQ(DecodeUpdate(d.data(), d.size(), &items), DecodeStatus::kTruncated);
    d = bad(BadKind::kAddress);
    EXPECT_EQ(DecodeHeader(d.data()).msgType, 5);
    EXPECT_EQ(std::string(d.begin() + 20, d.end()), "127.0.0.1");
}

TEST_F(NodeTest, MalformedClientDatagramsAreCountedNotApplied) {
    Init(NodeConfig{});
    unsigned char buf[40] = {};
    std::vector<Outgoing> sends;
    HandleDataDatagram(&node_, buf, 8, &sends);
    EncodeHeader(buf, DatagramHeader{1, 3, 1, 1, 15});
    PutInt32(buf + 20, 221);  // real: needs 8 bytes
    HandleDataDatagram(&node_, buf, 28, &sends);
    EXPECT_EQ(node_.badIn, 2);
    EXPECT_EQ(node_.setsIn, 0);
    EncodeHeader(buf, DatagramHeader{2, 9, 1, 1, 15});
    HandleDataDatagram(&node_, buf, 20, &sends);
    EXPECT_EQ(node_.keepAlivesIn, 1);
}

TEST_F(NodeTest, LargeRefreshesAreSplitWithinTheClientsBuffer) {
    Init(NodeConfig{});
    for (int i = 0; i < kClientVarCount; ++i) StoreValue(&node_.store, i, 1);
    Request("127.0.0.1 9099 1 2\n");
    const std::vector<Outgoing> sends = Tick(0.1);
    std::set<int> carried;
    for (const Outgoing& o : sends) {
        EXPECT_LT(o.bytes.size(), 5000u);
        std::vector<UpdateItem> items;
        if (DecodeUpdate(o.bytes.data(), o.bytes.size(), &items) != DecodeStatus::kOk) continue;
        for (const UpdateItem& i : items) carried.insert(i.index);
    }
    EXPECT_GT(carried.size(), 200u);
    EXPECT_EQ(carried.count(168), 0u);
    EXPECT_EQ(carried.count(187), 0u);
    EXPECT_EQ(carried.count(235), 0u);
}

}  // namespace
}  // namespace dbnode
