// The receiver against a scripted DB node on loopback: each test sends real
// datagrams to the monitor socket and handles them with GetUdpMsg.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <unistd.h>

#include "link/flight_plan_buffer.h"
#include "link/link_state.h"
#include "link/receiver.h"
#include "link/var_access.h"
#include "link/var_table.h"
#include "link/wire.h"
#include "tests/link/link_test_support.h"

namespace {

using linktest::Bytes;
using linktest::DeathLog;
using linktest::FakeMutex;
using linktest::HasLine;
using linktest::IntItemUpdate;
using linktest::ProcessLog;

// A death-test child binds its own monitor socket while the parent still
// holds one, so the port follows the process.
std::uint16_t MonitorPortOfThisProcess() { return static_cast<std::uint16_t>(20000 + getpid() % 30000); }

platform::Mutex* RealMutex(const char* name) {
    static platform::Mutex* data = platform::CreateMutex("DATAMUTEX");
    static platform::Mutex* flight = platform::CreateMutex("FLIGHTMUTEX");
    return std::strcmp(name, "DATAMUTEX") == 0 ? data : flight;
}

class Receiver : public ::testing::Test {
protected:
    void SetUp() override {
        InitDB();
        masterChanged = false;
        linkConnected = false;
        heardFromDb = false;
        DataMutex = RealMutex("DATAMUTEX");
        FlightMutex = RealMutex("FLIGHTMUTEX");
        monitorSocket = platform::OpenUdpSocket();
        ASSERT_TRUE(platform::BindUdp(monitorSocket, {0x7F000001, port}));
    }
    void TearDown() override {
        platform::CloseSocket(monitorSocket);
        monitorSocket = platform::kInvalidSocket;
    }
    // Sends one datagram as the DB node and lets the receiver handle it.
    int Deliver(const Bytes& d) {
        db.SendTo(port, d);
        return GetUdpMsg();
    }
    std::string NewLog() const { return ProcessLog().substr(logStart); }

    std::uint16_t port = MonitorPortOfThisProcess();
    linktest::Peer db;
    std::size_t logStart = ProcessLog().size();
};

TEST_F(Receiver, TwoItemUpdateSetsARealAndAnInteger) {
    const Bytes d = linktest::Update({{1, true, 0, 123.25}, {13, false, -42, 0.0}});
    ASSERT_EQ(d.size(), 40u);
    EXPECT_EQ(Deliver(d), 0);
    EXPECT_EQ(masterTable[1].realValue, 123.25);
    EXPECT_EQ(masterTable[13].intValue, -42);
    EXPECT_TRUE(masterChanged);
    EXPECT_TRUE(heardFromDb);
    EXPECT_EQ(GetRealVar(1), 123.25);
    EXPECT_EQ(GetIntVar(13), -42);
}

TEST_F(Receiver, OnlyTheLowByteOfTheIndexCounts) {
    Deliver(IntItemUpdate(256 + 13, 77));
    EXPECT_EQ(GetIntVar(13), 77);
    Deliver(IntItemUpdate(0x7FFFFF00 + 47, 1));
    EXPECT_EQ(GetIntVar(47), 1);
}

TEST_F(Receiver, IndexEqualToTheCountReachesTheMasterTableOnly) {
    Deliver(IntItemUpdate(235, 5));
    EXPECT_EQ(masterTable[235].intValue, 5);
    EXPECT_EQ(GetIntVar(235), 0);
    EXPECT_EQ(workingCopy[235].intValue, 0);
}

TEST_F(Receiver, EmptyUpdateMarksTheDbNodeHeardAndChangesNothing) {
    Deliver(linktest::Update({}));
    EXPECT_TRUE(heardFromDb);
    EXPECT_FALSE(masterChanged);
}

TEST_F(Receiver, DatagramShorterThanTheHeaderIsCountedAndIgnored) {
    Deliver(IntItemUpdate(13, 5));  // leaves a whole update in the reused buffer
    heardFromDb = false;
    masterTable[13].intValue = 0;
    const std::int32_t before = totalDatagrams;
    Bytes shortOne = IntItemUpdate(13, 5);
    shortOne.resize(12);
    EXPECT_EQ(Deliver(shortOne), 0);
    EXPECT_EQ(totalDatagrams, before + 1);
    EXPECT_FALSE(heardFromDb);
    EXPECT_EQ(masterTable[13].intValue, 0);
}

TEST_F(Receiver, ItemsRunningPastTheDataAreNotApplied) {
    // A whole two-item update first, so the reused buffer holds its bytes.
    Deliver(linktest::Update({{13, false, 5, 0.0}, {1, true, 0, 9.5}}));
    masterTable[1].realValue = 0.0;
    Bytes cut = linktest::Update({{13, false, 6, 0.0}, {1, true, 0, 9.5}});
    cut.resize(36);  // the real's value is half there
    Deliver(cut);
    EXPECT_EQ(masterTable[13].intValue, 6);
    EXPECT_EQ(masterTable[1].realValue, 0.0);

    Bytes claimsMore = IntItemUpdate(47, 1);
    PutInt32(claimsMore.data() + 12, 5);
    Deliver(claimsMore);
    EXPECT_EQ(masterTable[47].intValue, 1);
}

TEST_F(Receiver, FlightPlanOfExactlyItsSizeIsStored) {
    EXPECT_EQ(Deliver(linktest::FlightPlanDatagram(1108, 0xA5)), 0);
    ASSERT_TRUE(GetFlightMutex());
    const bool all = std::all_of(flightPlanBuffer, flightPlanBuffer + kFlightPlanBufferSize,
                                 [](unsigned char c) { return c == 0xA5; });
    FreeFlightMutex();
    EXPECT_TRUE(all);
    EXPECT_FALSE(heardFromDb) << "a flight plan does not count as hearing from the DB node";
}

TEST_F(Receiver, FlightPlanOfAnyOtherSizeLeavesTheStoredOne) {
    Deliver(linktest::FlightPlanDatagram(1108, 0x11));
    Deliver(linktest::FlightPlanDatagram(1107, 0x22));
    Deliver(linktest::FlightPlanDatagram(1109, 0x33));
    EXPECT_EQ(flightPlanBuffer[0], 0x11);
    EXPECT_EQ(flightPlanBuffer[kFlightPlanBufferSize - 1], 0x11);
    EXPECT_EQ(linktest::CountOf(NewLog(), "GetUDPMsg() - Flight Plan size mismatch\n"), 2);
}

TEST_F(Receiver, FlightPlanIsDroppedWhenItsMutexCannotBeTaken) {
    Deliver(linktest::FlightPlanDatagram(1108, 0x11));
    FakeMutex failing(platform::WaitResult::Failed);
    FlightMutex = &failing;
    Deliver(linktest::FlightPlanDatagram(1108, 0x44));
    FlightMutex = RealMutex("FLIGHTMUTEX");
    EXPECT_EQ(flightPlanBuffer[0], 0x11);
    const std::vector<std::string> m = linktest::Messages(NewLog());
    const std::vector<std::string> expected = {"GetFlightMutex() - Mutex wait timed out",
                                               "GetUpdMsg() - Unable to get FlightMutex."};
    EXPECT_EQ(m, expected);
}

TEST_F(Receiver, KeepAliveMarksTheDbNodeHeardOnly) {
    Deliver(linktest::KeepAliveFromDb());
    EXPECT_TRUE(heardFromDb);
    EXPECT_FALSE(linkConnected);
    EXPECT_FALSE(masterChanged);
}

TEST_F(Receiver, AddressReplyConnectsOnceAndLaterRepliesChangeNothing) {
    EXPECT_EQ(Deliver(linktest::AddressReply("10.0.0.5 9100")), 0);
    EXPECT_TRUE(linkConnected);
    EXPECT_TRUE(heardFromDb);
    EXPECT_STREQ(DbLink.address, "10.0.0.5");
    EXPECT_EQ(DbLink.port, 9100);
    EXPECT_EQ(platform::FormatIpv4(DbLink.endpoint.address), "10.0.0.5");
    EXPECT_EQ(DbLink.endpoint.port, 9100);
    const platform::SocketHandle socket = DbLink.socket;
    EXPECT_NE(socket, platform::kInvalidSocket);

    EXPECT_EQ(Deliver(linktest::AddressReply("127.0.0.1 9200")), 0);
    EXPECT_STREQ(DbLink.address, "10.0.0.5");
    EXPECT_EQ(DbLink.endpoint.port, 9100);
    EXPECT_EQ(DbLink.socket, socket);
    EXPECT_EQ(linktest::CountOf(NewLog(), "GetUdpMsg() - Connected to DB\n"), 1);
}

TEST_F(Receiver, InvalidAddressRepliesAreRejectedAndTheLinkStaysDown) {
    const std::string tooLong = std::string(60, '1') + " 9100";
    for (const std::string text : {"10.0.0.5", "", "dbnode 9100", "10.0.0.256 9100", tooLong.c_str(),
                                   "10.0.0.5 0", "10.0.0.5 70000", "10.0.0.5 port"}) {
        EXPECT_EQ(Deliver(linktest::AddressReply(text)), -1) << text;
        EXPECT_FALSE(linkConnected) << text;
    }
    EXPECT_EQ(linktest::CountOf(NewLog(), "Invalid ADR MSg received. (Ignored)\n"), 8);
    EXPECT_EQ(linktest::CountOf(NewLog(), "Connected"), 0);
}

TEST_F(Receiver, ReconnectingClosesTheEarlierSendingSocket) {
    Deliver(linktest::AddressReply("127.0.0.1 9100"));
    const int open = linktest::OpenDescriptorCount();
    for (int i = 0; i < 3; ++i) {
        linkConnected = false;  // as the monitor does after six silent periods
        Deliver(linktest::AddressReply("127.0.0.1 9101"));
        EXPECT_TRUE(linkConnected);
        EXPECT_EQ(DbLink.endpoint.port, 9101);
        EXPECT_EQ(linktest::OpenDescriptorCount(), open);
    }
}

TEST_F(Receiver, DatagramCountWrapsAfter9999) {
    totalDatagrams = 1;
    missedDatagrams = 3;
    Deliver(linktest::KeepAliveFromDb());
    EXPECT_EQ(totalDatagrams, 2);
    for (int i = 2; i <= 9998; ++i) Deliver(linktest::KeepAliveFromDb());
    EXPECT_EQ(totalDatagrams, 9999);
    EXPECT_EQ(missedDatagrams, 3);
    Deliver(linktest::Header(7, 7, 0));  // unknown kinds count too
    EXPECT_EQ(totalDatagrams, 1);
    EXPECT_EQ(missedDatagrams, 0);
}

TEST_F(Receiver, DatagramJustBelowTheBufferSizeIsHandled) {
    Bytes big = linktest::Header(7, 7, 0);
    big.resize(4999, 'x');
    EXPECT_EQ(Deliver(big), 0);
}

struct DeathCase {
    Bytes datagram;
    int code;
    std::string line;
};

TEST_F(Receiver, FatalDatagrams) {
    Bytes full = linktest::Header(7, 7, 0);
    full.resize(5000, 'x');
    Bytes overfull = full;
    overfull.resize(6000, 'x');
    const DeathCase cases[] = {
        {IntItemUpdate(236, 1), 7711, "ParseStdUpdate() - Index out of range: 236\n"},
        {IntItemUpdate(256 + 255, 1), 7711, "ParseStdUpdate() - Index out of range: 255\n"},
        {linktest::Update({{13, false, 1, 0.0}, {240, false, 1, 0.0}}), 7711,
         "ParseStdUpdate() - Index out of range: 240\n"},
        {IntItemUpdate(168, 1), 999, "Exit(999) 999\n"},
        {IntItemUpdate(187, 1), 999, "Exit(999) 999\n"},
        {full, 1, "GetUDPMsg() - Fatal: Buffer over run on DGRAM. Length = 5000\n"},
        {overfull, 1, "GetUDPMsg() - Fatal: Buffer over run on DGRAM. Length = 5000\n"},
    };
    for (const DeathCase& c : cases) {
        EXPECT_EXIT(Deliver(c.datagram), ::testing::ExitedWithCode(c.code & 0xFF), "") << c.line;
        // Non-fatal checks only: a death-test child runs this loop too.
        const std::vector<std::string> m = linktest::Messages(DeathLog());
        EXPECT_EQ(m.size(), 2u) << c.line;
        if (m.size() == 2) {
            EXPECT_EQ(m[1] + "\n", c.line);
        }
    }
}

TEST_F(Receiver, FailedReleaseOfTheFlightMutexStops1002) {
    static FakeMutex releaseFails(platform::WaitResult::Acquired, false);
    FlightMutex = &releaseFails;
    EXPECT_EXIT(Deliver(linktest::FlightPlanDatagram(1108, 1)), ::testing::ExitedWithCode(1002 & 0xFF), "");
    FlightMutex = RealMutex("FLIGHTMUTEX");
    EXPECT_TRUE(HasLine(DeathLog(), "FreeFlightMutex() - Internal Error: 1002\n"));
}

}  // namespace
