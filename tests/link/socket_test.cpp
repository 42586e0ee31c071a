// The receiver, senders and monitor against a scripted DB node on loopback:
// datagrams really pass the monitor socket; the monitor runs a pass at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

#include "link/flight_plan_buffer.h"
#include "link/link_state.h"
#include "link/monitor.h"
#include "link/receiver.h"
#include "link/transmit.h"
#include "link/var_access.h"
#include "link/var_table.h"
#include "tests/link/link_test_support.h"

namespace {

using linktest::Bytes;
using linktest::CountOf;
using linktest::Field;
using linktest::IntUpdate;
using linktest::Peer;  // a DB node, or where broadcasts go

// A death-test child binds its own sockets while the parent holds its
// ones, so the ports follow the process.
const std::uint16_t kPort = static_cast<std::uint16_t>(20000 + getpid() % 10000 * 3);

class Link : public ::testing::Test {
protected:
    void SetUp() override {
        InitDB();
        static platform::Mutex* const data = platform::CreateMutex("DATAMUTEX");
        static platform::Mutex* const flight = platform::CreateMutex("FLIGHTMUTEX");
        DataMutex = data, FlightMutex = flight;
        masterChanged = false;
        linkConnected = false;
        heardFromDb = false;
        OwnMissedPeriods() = 0;
        std::snprintf(selectedIp, sizeof selectedIp, "127.0.0.1");
        monitorPort = kPort;
        versionMajor = 1, versionMinor = 261206;
        if (!broadcastReady) {
            broadcastTarget = {platform::OpenUdpSocket(), {0x7F000001, listener.port}, true};
            broadcastReady = true;
        }
        monitorSocket = platform::OpenUdpSocket();
        ASSERT_TRUE(platform::BindUdp(monitorSocket, {0x7F000001, kPort}));
    }
    void TearDown() override { platform::CloseSocket(monitorSocket); }

    // Sends one datagram as the DB node and lets the receiver handle it.
    int Deliver(const Bytes& d) {
        db.SendTo(kPort, d);
        return GetUdpMsg();
    }
    void Connect(const Peer& to) {
        Deliver(linktest::AddressReply("127.0.0.1 " + std::to_string(to.port)));
        ASSERT_TRUE(linkConnected);
    }
    std::string NewLog() const { return linktest::ProcessLog().substr(logStart); }
    void ExpectKeepAlive() {
        const Bytes k = db.Receive();
        EXPECT_EQ(Field(k, 3), 1);
        EXPECT_EQ(linktest::PayloadText(k), " 127.0.0.1 " + std::to_string(kPort) + " 1 261206");
    }

    Peer db{static_cast<std::uint16_t>(kPort + 1)};
    Peer listener{static_cast<std::uint16_t>(kPort + 2)};
    std::size_t logStart = linktest::ProcessLog().size();
};

TEST_F(Link, UpdatesReachTheTables) {
    const Bytes twoItems = linktest::Update({{1, true, 123.25}, {256 + 13, false, -42}});
    ASSERT_EQ(twoItems.size(), 40u);
    EXPECT_EQ(Deliver(twoItems), 0);
    EXPECT_EQ(GetRealVar(1), 123.25);
    EXPECT_EQ(GetIntVar(13), -42);  // only the low byte of the index counts
    EXPECT_TRUE(heardFromDb);
    Deliver(IntUpdate(235, 5));  // the count itself: master table only
    EXPECT_EQ(masterTable[235].intValue, 5);
    EXPECT_EQ(GetIntVar(235), 0);
}

TEST_F(Link, ShortAndTruncatedDatagramsUseOnlyTheirOwnBytes) {
    // Whole datagrams first, so the reused receive buffer holds their bytes.
    Deliver(linktest::Update({{13, false, 5}, {1, true, 9.5}}));
    masterTable[13].intValue = 0;
    masterTable[1].realValue = 0.0;
    heardFromDb = false;
    const std::int32_t before = totalDatagrams;
    Bytes shortOne = IntUpdate(13, 5);
    shortOne.resize(12);
    EXPECT_EQ(Deliver(shortOne), 0);
    EXPECT_EQ(totalDatagrams, before + 1);
    EXPECT_FALSE(heardFromDb);
    EXPECT_EQ(masterTable[13].intValue, 0);

    Bytes cut = linktest::Update({{13, false, 6}, {1, true, 9.5}});
    cut.resize(36);  // the real's value is half there
    Deliver(cut);
    EXPECT_EQ(masterTable[13].intValue, 6);
    EXPECT_EQ(masterTable[1].realValue, 0.0);
}

TEST_F(Link, OnlyAFlightPlanOfExactlyItsSizeIsStored) {
    Deliver(linktest::FlightPlan(1108, 0x11));
    Deliver(linktest::FlightPlan(1107, 0x22));
    Deliver(linktest::FlightPlan(1109, 0x33));
    ASSERT_TRUE(GetFlightMutex());
    const bool stored = std::all_of(flightPlanBuffer, flightPlanBuffer + kFlightPlanSize,
                                    [](unsigned char c) { return c == 0x11; });
    FreeFlightMutex();
    EXPECT_TRUE(stored);
    EXPECT_EQ(CountOf(NewLog(), "  GetUDPMsg() - Flight Plan size mismatch\n"), 2);
}

TEST_F(Link, OnlyTheFirstValidAddressReplyConnects) {
    const std::string tooLong = std::string(60, '1') + " 9100";
    for (const std::string text : {"10.0.0.5", "dbnode 9100", "10.0.0.256 9100", tooLong.c_str(), "10.0.0.5 0"}) {
        EXPECT_EQ(Deliver(linktest::AddressReply(text)), -1) << text;
        EXPECT_FALSE(linkConnected) << text;
    }
    EXPECT_EQ(CountOf(NewLog(), "  Invalid ADR MSg received. (Ignored)\n"), 5);
    EXPECT_EQ(Deliver(linktest::AddressReply("10.0.0.5 9100")), 0);
    const platform::SocketHandle socket = DbLink.socket;
    EXPECT_EQ(Deliver(linktest::AddressReply("127.0.0.1 9200")), 0);
    EXPECT_STREQ(DbLink.address, "10.0.0.5");
    EXPECT_EQ(DbLink.endpoint.port, 9100);
    EXPECT_EQ(DbLink.socket, socket);
    EXPECT_EQ(CountOf(NewLog(), "  GetUdpMsg() - Connected to DB\n"), 1);
}

TEST_F(Link, ReconnectingClosesTheEarlierSendingSocket) {
    Connect(db);
    const int open = linktest::OpenDescriptorCount();
    Peer other{static_cast<std::uint16_t>(kPort + 3)};
    for (int i = 0; i < 3; ++i) {
        linkConnected = false;  // as the monitor does after six silent periods
        Connect(other);
        EXPECT_EQ(linktest::OpenDescriptorCount(), open + 1);  // + other
    }
    SetIntVar(124, 9);
    EXPECT_EQ(other.Receive().size(), 28u);
    EXPECT_TRUE(db.NothingPending());
}

TEST_F(Link, DatagramCountWrapsAfter9999) {
    totalDatagrams = 9998;
    missedDatagrams = 3;
    Deliver(linktest::KeepAliveFromDb());
    EXPECT_EQ(totalDatagrams, 9999);
    EXPECT_EQ(missedDatagrams, 3);
    Deliver(linktest::Header(7, 7, 0));  // unknown kinds count too
    EXPECT_EQ(totalDatagrams, 1);
    EXPECT_EQ(missedDatagrams, 0);
}

TEST_F(Link, FatalDatagrams) {
    Bytes full = linktest::Header(7, 7, 0);
    full.resize(5000, 'x');
    const struct { Bytes datagram; int code; std::string line; } cases[] = {
        {IntUpdate(236, 1), 7711, "ParseStdUpdate() - Index out of range: 236\n"},
        {IntUpdate(168, 1), 999, "Exit(999) 999\n"},
        {IntUpdate(187, 1), 999, "Exit(999) 999\n"},
        {full, 1, "GetUDPMsg() - Fatal: Buffer over run on DGRAM. Length = 5000\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(Deliver(c.datagram), ::testing::ExitedWithCode(c.code & 0xFF), "") << c.line;
        const std::string log = linktest::DeathLog();
        EXPECT_TRUE(log.ends_with("  " + c.line) && CountOf(log, "\n") == 2) << log;
    }
}

TEST_F(Link, SendersWhileDownAndWithTheWrongType) {
    Connect(db);
    linkConnected = false;
    const unsigned char d[4] = {1, 2, 3, 4};
    EXPECT_EQ(SendToDb(d, sizeof d), -1);
    SetIntVar(124, 250);
    EXPECT_EQ(GetIntVar(124), 250);
    EXPECT_TRUE(db.NothingPending());
    EXPECT_EQ(CountOf(NewLog(), "\n"), 1);  // only "Connected to DB"

    linkConnected = true;
    SetIntVar(20, 5);  // a real variable
    EXPECT_EQ(workingCopy[20].intValue, 0);
    EXPECT_TRUE(db.NothingPending());
    SetIntVar(124, 251);
    const Bytes sent = db.Receive();
    ASSERT_EQ(sent.size(), 28u);
    EXPECT_EQ(GetInt32(sent.data() + 20), 124);
    EXPECT_EQ(GetInt32(sent.data() + 24), 251);
}

TEST_F(Link, SixthSilentPeriodDisconnectsAndRequestsInTheSamePeriod) {
    Connect(db);
    for (int period = 0; period <= 5; ++period) {  // the connect counts as heard
        MonitorPeriod();
        ExpectKeepAlive();
        EXPECT_EQ(OwnMissedPeriods(), period);
    }
    EXPECT_TRUE(listener.NothingPending());
    MonitorPeriod();
    EXPECT_FALSE(linkConnected);
    EXPECT_EQ(CountOf(NewLog(), "  Monitor() - Disconnected\n"), 1);
    const Bytes request = listener.Receive();
    EXPECT_EQ(Field(request, 3), 0);
    EXPECT_EQ(linktest::PayloadText(request), "127.0.0.1 " + std::to_string(kPort) + " 1 261206\n");
    EXPECT_TRUE(db.NothingPending()) << "no keep-alive in the disconnecting period";
}

TEST_F(Link, AKeepAliveAfterFiveSilentPeriodsKeepsTheLinkUp) {
    Connect(db);
    for (int period = 0; period <= 5; ++period) {
        MonitorPeriod();
        ExpectKeepAlive();
    }
    Deliver(linktest::KeepAliveFromDb());
    MonitorPeriod();
    ExpectKeepAlive();
    EXPECT_EQ(OwnMissedPeriods(), 0);
    EXPECT_TRUE(linkConnected);
    EXPECT_TRUE(listener.NothingPending());
}

}  // namespace
