// The receiver, senders and monitor against a scripted DB node on loopback:
// datagrams really pass the monitor socket; the monitor runs a pass at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "link/flight_plan_buffer.h"
#include "link/link_state.h"
#include "link/monitor.h"
#include "link/receiver.h"
#include "link/shown_vars.h"
#include "link/transmit.h"
#include "link/var_access.h"
#include "link/var_table_testing.h"
#include "platform/process.h"
#include "tests/link/link_test_support.h"
#include "tests/support/portable.h"

namespace {

using linktest::Bytes;
using linktest::CountOf;
using linktest::Field;
using linktest::IntUpdate;
using linktest::Peer;  // a DB node, or where broadcasts go

// A death-test child binds its own sockets while the parent holds its
// ones, so the ports follow the process.
const std::uint16_t kPort = static_cast<std::uint16_t>(20000 + testsupport::ProcessId() % 10000 * 3);

class Link : public ::testing::Test {
protected:
    void SetUp() override {
        InitDB();
        static platform::Mutex* const data = platform::NewMutex("DATAMUTEX");
        static platform::Mutex* const flight = platform::NewMutex("FLIGHTMUTEX");
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
        // `db` is the DB node last connected to, and the link is down.
        DbLink.port = db.port;
        DbLink.endpoint = {linktest::kLoopback, db.port};
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
    EXPECT_EQ(MasterEntryForTest(235).intValue, 5);
    EXPECT_EQ(GetIntVar(235), 0);
}

// The receiver calls what it was handed, with its context, only when a
// datagram changed a variable the panels have read.
TEST_F(Link, OnlyAChangedShownValueCallsTheHandedCallback) {
    int calls = 0;
    linkServices.shownValueChanged = [](void* context) { ++*static_cast<int*>(context); };
    linkServices.shownValueContext = &calls;
    {
        const ShownReads shown;
        GetIntVar(13);
    }
    SetMasterIntForTest(13, 0);
    SetMasterIntForTest(235, 0);
    Deliver(IntUpdate(13, 7));
    Deliver(IntUpdate(13, 7));   // the same value again
    Deliver(IntUpdate(235, 7));  // never shown
    EXPECT_EQ(calls, 1);
    linkServices = {};
}

TEST_F(Link, ShortAndTruncatedDatagramsUseOnlyTheirOwnBytes) {
    // Whole datagrams first, so the reused receive buffer holds their bytes.
    Deliver(linktest::Update({{13, false, 5}, {1, true, 9.5}}));
    SetMasterIntForTest(13, 0);
    SetMasterRealForTest(1, 0.0);
    heardFromDb = false;
    const std::int32_t before = totalDatagrams;
    Bytes shortOne = IntUpdate(13, 5);
    shortOne.resize(12);
    EXPECT_EQ(Deliver(shortOne), 0);
    EXPECT_EQ(totalDatagrams, before + 1);
    EXPECT_FALSE(heardFromDb);
    EXPECT_EQ(MasterEntryForTest(13).intValue, 0);

    Bytes cut = linktest::Update({{13, false, 6}, {1, true, 9.5}});
    cut.resize(36);  // the real's value is half there
    Deliver(cut);
    EXPECT_EQ(MasterEntryForTest(13).intValue, 6);
    EXPECT_EQ(MasterEntryForTest(1).realValue, 0.0);
}

TEST_F(Link, OnlyAFlightPlanOfExactlyItsSizeIsStored) {
    Deliver(linktest::FlightPlan(1108, 0x11));
    Deliver(linktest::FlightPlan(1107, 0x22));
    Deliver(linktest::FlightPlan(1109, 0x33));
    const platform::ScopedLock lock = HoldFlightMutex();
    ASSERT_TRUE(lock.Held());
    EXPECT_TRUE(std::all_of(flightPlanBuffer, flightPlanBuffer + kFlightPlanSize,
                            [](unsigned char c) { return c == 0x11; }));
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
    const int open = testsupport::OpenDescriptorCount();
    Peer other{static_cast<std::uint16_t>(kPort + 3)};
    for (int i = 0; i < 3; ++i) {
        linkConnected = false;  // as the monitor does after six silent periods
        const platform::SocketHandle earlier = DbLink.socket;
        Connect(other);
        // Closed, unless its number went to the new socket.
        EXPECT_TRUE(DbLink.socket == earlier || platform::SendTo(earlier, "x", 1, {linktest::kLoopback, db.port}) < 0);
        if (open != -1) {
            EXPECT_EQ(testsupport::OpenDescriptorCount(), open + 1);  // + other
        }
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

Bytes FullBuffer() {
    Bytes full = linktest::Header(7, 7, 0);
    full.resize(5000, 'x');
    return full;
}

TEST_F(Link, FatalDatagramsFromTheDbNode) {
    const struct { Bytes datagram; int code; std::string line; } cases[] = {
        {IntUpdate(236, 1), 7711, "ParseStdUpdate() - Index out of range: 236\n"},
        {IntUpdate(168, 1), 999, "Exit(999) 999\n"},
        {IntUpdate(187, 1), 999, "Exit(999) 999\n"},
        {FullBuffer(), 1, "GetUDPMsg() - Fatal: Buffer over run on DGRAM. Length = 5000\n"},
    };
    // The DB node is heard whether the link is up or down.
    for (const bool connected : {false, true}) {
        for (const auto& c : cases) {
            EXPECT_EXIT(
                {
                    if (connected) Deliver(linktest::AddressReply("127.0.0.1 " + std::to_string(db.port)));
                    Deliver(c.datagram);
                },
                ::testing::ExitedWithCode(testsupport::SeenExitCode(c.code)), "")
                << c.line;
            const std::string log = linktest::DeathLog();
            EXPECT_TRUE(log.ends_with("  " + c.line) && CountOf(log, "\n") == (connected ? 3 : 2)) << log;
        }
    }
}

TEST_F(Link, OnlyTheDbNodeIsHeardButAnyoneMayAnswerABroadcast) {
    const Peer stranger{static_cast<std::uint16_t>(kPort + 4), linktest::kLoopback2};
    // Wine gives every loopback sender as 127.0.0.1, so a stranger on lo
    // cannot be told from the DB node there; Linux and Windows tell them apart.
    stranger.SendTo(kPort, IntUpdate(13, 0));
    char probe[64];
    platform::Ipv4Endpoint from;
    platform::ReceiveFrom(monitorSocket, probe, sizeof probe, &from);
    if (from.address != linktest::kLoopback2) GTEST_SKIP() << "the system hides the sender's loopback address";
    const Bytes fromStranger[] = {FullBuffer(), IntUpdate(236, 1), IntUpdate(168, 1), IntUpdate(13, 77),
                                  linktest::KeepAliveFromDb(), linktest::FlightPlan(1107, 1)};
    DbLink.port = 0;  // no DB node has answered yet: even 127.0.0.1 is a stranger
    Deliver(IntUpdate(13, 77));
    DbLink.port = db.port;
    for (const bool connected : {false, true}) {
        if (connected) Connect(db);
        const std::int32_t stray = strayDatagrams, total = totalDatagrams;
        logStart = linktest::ProcessLog().size();
        heardFromDb = false;
        for (const Bytes& d : fromStranger) {
            stranger.SendTo(kPort, d);
            EXPECT_EQ(GetUdpMsg(), 0);
        }
        stranger.SendTo(kPort, linktest::AddressReply(connected ? "127.0.0.2 9100" : "garbage"));
        EXPECT_EQ(GetUdpMsg(), connected ? 0 : -1);  // taken from anyone only while down
        EXPECT_EQ(strayDatagrams, stray + 6 + connected);
        EXPECT_EQ(totalDatagrams, total + !connected);
        EXPECT_NE(GetIntVar(13), 77);
        EXPECT_FALSE(heardFromDb);
        const std::string log = NewLog();
        EXPECT_EQ(CountOf(log, "\n"), !connected);
        EXPECT_EQ(CountOf(log, "  Invalid ADR MSg received. (Ignored)\n"), !connected);
    }
    EXPECT_EQ(DbLink.endpoint.address, linktest::kLoopback);
    const Peer secondPort{static_cast<std::uint16_t>(kPort + 3)};  // the DB node, from any port of its address
    secondPort.SendTo(kPort, IntUpdate(13, 5));
    GetUdpMsg();
    EXPECT_EQ(GetIntVar(13), 5);
    EXPECT_TRUE(heardFromDb);
    linkConnected = false;
    stranger.SendTo(kPort, linktest::AddressReply("127.0.0.2 " + std::to_string(stranger.port)));
    GetUdpMsg();
    EXPECT_TRUE(linkConnected);
    EXPECT_EQ(DbLink.endpoint.address, linktest::kLoopback2);
}

TEST_F(Link, AddressReplyPortMustFitWhateverItsSpelling) {
    for (const std::string text : {"127.0.0.1 4294976396", "127.0.0.1 65536", "127.0.0.1 -9100",
                                   "127.0.0.1 99999999999999999999999", "127.0.0.1 +0", "127.0.0.1 0x10"}) {
        EXPECT_EQ(Deliver(linktest::AddressReply(text)), -1) << text;
        EXPECT_FALSE(linkConnected) << text;
    }
    EXPECT_EQ(CountOf(NewLog(), "  Invalid ADR MSg received. (Ignored)\n"), 6);
}

TEST_F(Link, PersistentReceiveErrorIsLoggedOnceAndBackedOff) {
    platform::CloseSocket(monitorSocket);
    monitorSocket = platform::kInvalidSocket;
    const std::int32_t total = totalDatagrams;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(GetUdpMsg(), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3 * kReceiveErrorBackoffMs - 20));
    EXPECT_EQ(CountOf(NewLog(), "  GetUdpMsg() - Receive error\n"), 1);
    EXPECT_EQ(totalDatagrams, total);
}

TEST_F(Link, ReceiveBufferTakesASecondOfFullUpdatesAtSixtyHertz) {
    ASSERT_GE(platform::SetReceiveBufferSize(monitorSocket, kMonitorSocketBufferBytes), kMonitorSocketBufferBytes);
    Bytes big = linktest::Header(7, 7, 0);
    big.resize(kReceiveBufferSize - 1, 'b');
    for (int i = 0; i < 60; ++i) db.SendTo(kPort, big);  // nobody reads meanwhile
    linktest::SetReceiveTimeout(monitorSocket, 500);
    int received = 0;
    unsigned char buffer[kReceiveBufferSize];
    while (platform::ReceiveFrom(monitorSocket, buffer, sizeof buffer) == kReceiveBufferSize - 1) ++received;
    EXPECT_EQ(received, 60);
}

// Mutex stand-ins whose waits all fail: nothing may be released.
linktest::FakeMutex failingXmt(platform::WaitResult::Failed);
platform::Mutex* FailingXmtFactory(const char* name) {
    if (std::string(name) == "XmtMutex") return &failingXmt;
    return platform::NewMutex(name);
}

TEST_F(Link, SendsGoAheadWithoutReleasingAnXmtMutexNotHeld) {
    // In a child: XmtMutex is created once per process.
    const auto sendAll = [this] {
        linkServices.newMutex = FailingXmtFactory;
        Deliver(linktest::AddressReply("127.0.0.1 " + std::to_string(db.port)));
        const unsigned char d[4] = {1, 2, 3, 4};
        const bool sent = SendToDb(d, sizeof d) == 0 && db.Receive().size() == 4;
        Broadcast(d, sizeof d);
        const bool broadcast = listener.Receive().size() == 4;
        const bool balanced = failingXmt.waits == 3 && failingXmt.releases == 0;
        platform::ExitProcess(sent && broadcast && balanced ? 0 : 1);
    };
    EXPECT_EXIT(sendAll(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(CountOf(linktest::DeathLog(), "  Get Resource() - Mutex wait timed out\n"), 3);
}

TEST_F(Link, FailedLockWaitsReleaseNothing) {
    linktest::FakeMutex failing(platform::WaitResult::Failed);
    DataMutex = &failing;
    Deliver(IntUpdate(13, 3));  // applied all the same, as the receiver always did
    EXPECT_EQ(MasterEntryForTest(13).intValue, 3);
    FlightMutex = &failing;
    const unsigned char before = flightPlanBuffer[0];
    Deliver(linktest::FlightPlan(1108, static_cast<unsigned char>(before + 1)));
    EXPECT_EQ(flightPlanBuffer[0], before);  // not stored
    EXPECT_EQ(failing.waits, 2);
    EXPECT_EQ(failing.releases, 0);
    const std::string log = NewLog();
    EXPECT_EQ(CountOf(log, "  GetFlightMutex() - Mutex wait timed out\n"), 1);
    EXPECT_EQ(CountOf(log, "  GetUpdMsg() - Unable to get FlightMutex.\n"), 1);
    masterChanged = false;
}

// Under ThreadSanitizer: the receiver applies updates on its own thread while
// another thread refreshes and reads, as the panels and the FMC do.
TEST_F(Link, ReceiverThreadAndReadersShareTheTables) {
    constexpr int kUpdates = 2000;
    platform::SetReceiveBufferSize(monitorSocket, kMonitorSocketBufferBytes);
    std::atomic<bool> stop{false};
    std::thread receiver([&stop] {
        while (!stop) GetUdpMsg();
    });
    std::thread sender([this] {
        for (int i = 1; i <= kUpdates; ++i) {
            db.SendTo(kPort, linktest::Update({{13, false, 1.0 * i}, {1, true, i + 0.5}}));
            if (i % 64 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    int torn = 0;
    std::int32_t last = 0;
    bool backwards = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (last != kUpdates && std::chrono::steady_clock::now() < deadline) {
        const double r = GetRealVar(1);
        if (r != 0.0 && r - static_cast<int>(r) != 0.5) ++torn;
        const std::int32_t now = GetIntVar(13);
        backwards = backwards || now < last;
        last = now;
    }
    sender.join();
    stop = true;
    db.SendTo(kPort, linktest::KeepAliveFromDb());  // wakes the receiver
    receiver.join();
    EXPECT_EQ(torn, 0);
    EXPECT_FALSE(backwards);
    EXPECT_EQ(last, kUpdates);
}

// A bound port is ours alone. Wine refuses a second bind even without the
// option, so there only the option read back shows Windows' behaviour.
TEST(Ports, ABoundPortIsTheProgramsAlone) {
    const platform::Ipv4Endpoint local{linktest::kLoopback, 19099};  // away from the link's own
    const platform::SocketHandle first = platform::OpenUdpSocket(), second = platform::OpenUdpSocket();
    ASSERT_TRUE(platform::BindUdp(first, local));
    EXPECT_FALSE(platform::BindUdp(second, local));
    const platform::SocketOption x = platform::ExclusivePortOption(), listener = platform::ListenerPortOption();
    EXPECT_TRUE(x.level == 0 || (platform::GetSocketOption(first, x.level, x.name) == 1 && listener.name == x.name));
    platform::CloseSocket(first);
    platform::CloseSocket(second);
}

}  // namespace
