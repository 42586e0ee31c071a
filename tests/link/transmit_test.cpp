// Sending to the DB node and broadcasting, driven one monitor period at a
// time, against scripted peers on loopback.
#include <gtest/gtest.h>

#include "link/link_state.h"
#include "link/monitor.h"
#include "link/receiver.h"
#include "link/transmit.h"
#include "link/var_access.h"
#include "link/var_table.h"
#include "link/wire.h"
#include "tests/link/link_test_support.h"

namespace {

using linktest::Bytes;
using linktest::Field;
using linktest::Peer;
using linktest::PayloadText;
using linktest::ProcessLog;

constexpr std::uint16_t kMonitorPort = 9099;
constexpr std::uint16_t kDbPort = 9100;

void OpenBroadcastOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    broadcastTarget.socket = platform::OpenUdpSocket();
    platform::SetBroadcast(broadcastTarget.socket, 32);
    platform::ParseIpv4("127.255.255.255", &broadcastTarget.address.address);
    broadcastTarget.address.port = 9019;
    broadcastTarget.addressValid = true;
    broadcastReady = true;
}

class Transmit : public ::testing::Test {
protected:
    void SetUp() override {
        InitDB();
        static platform::Mutex* data = platform::CreateMutex("DATAMUTEX");
        DataMutex = data;
        masterChanged = false;
        linkConnected = false;
        heardFromDb = false;
        OwnMissedPeriods() = 0;
        std::snprintf(selectedIp, sizeof selectedIp, "%s", "127.0.0.1");
        monitorPort = kMonitorPort;
        versionMajor = 1;
        versionMinor = 261206;
        OpenBroadcastOnce();
        monitorSocket = platform::OpenUdpSocket();
        ASSERT_TRUE(platform::BindUdp(monitorSocket, {0x7F000001, kMonitorPort}));
    }
    void TearDown() override {
        platform::CloseSocket(monitorSocket);
        monitorSocket = platform::kInvalidSocket;
    }
    void FromDb(const Bytes& d) {
        db.SendTo(kMonitorPort, d);
        GetUdpMsg();
    }
    void Connect() {
        FromDb(linktest::AddressReply("127.0.0.1 9100"));
        ASSERT_TRUE(linkConnected);
    }
    // One monitor period after the DB node was silent (or not) during it.
    void Period() { MonitorPeriod(); }
    void ExpectKeepAlive() {
        const Bytes k = db.Receive();
        EXPECT_EQ(Field(k, 0), 2);
        EXPECT_EQ(Field(k, 1), 9);
        EXPECT_EQ(Field(k, 3), 1);
        EXPECT_EQ(Field(k, 4), 15);
        EXPECT_EQ(PayloadText(k), " 127.0.0.1 9099 1 261206");
    }
    void ExpectAddressRequest() {
        const Bytes r = listener.Receive();
        EXPECT_EQ(Field(r, 0), 2);
        EXPECT_EQ(Field(r, 1), 9);
        EXPECT_EQ(Field(r, 3), 0);
        EXPECT_EQ(Field(r, 4), 15);
        EXPECT_EQ(PayloadText(r), "127.0.0.1 9099 1 261206\n");
    }
    std::string NewLog() const { return ProcessLog().substr(logStart); }

    Peer db{kDbPort};
    Peer listener{9019, 0};  // any address: broadcasts arrive here
    std::size_t logStart = ProcessLog().size();
};

TEST_F(Transmit, SendToDbWhileDownSendsAndLogsNothing) {
    const unsigned char d[4] = {1, 2, 3, 4};
    EXPECT_EQ(SendToDb(d, sizeof d), -1);
    SetIntVar(124, 250);
    EXPECT_EQ(GetIntVar(124), 250);
    EXPECT_TRUE(db.NothingPending());
    EXPECT_EQ(NewLog(), "");
}

TEST_F(Transmit, SettersSendOneUpdateEachWithTheNextSequence) {
    Connect();
    SetIntVar(124, 250);
    const Bytes i = db.Receive();
    ASSERT_EQ(i.size(), 28u);
    EXPECT_EQ(Field(i, 0), 1);
    EXPECT_EQ(Field(i, 1), 3);
    EXPECT_EQ(Field(i, 3), 1);
    EXPECT_EQ(Field(i, 4), 15);
    EXPECT_EQ(GetInt32(i.data() + 20), 124);
    EXPECT_EQ(GetInt32(i.data() + 24), 250);
    EXPECT_EQ(GetIntVar(124), 250);

    SetRealVar(20, -1500.0);
    const Bytes r = db.Receive();
    ASSERT_EQ(r.size(), 32u);
    EXPECT_EQ(GetInt32(r.data() + 20), 20);
    EXPECT_EQ(GetDouble(r.data() + 24), -1500.0);
    EXPECT_EQ(Field(r, 2), (Field(i, 2) + 1) % 1000);
    EXPECT_EQ(GetRealVar(20), -1500.0);
}

TEST_F(Transmit, SettersIgnoreAWrongTypeOrIndexWhileUp) {
    Connect();
    SetIntVar(20, 5);    // real variable
    SetRealVar(124, 5);  // integer variable
    SetIntVar(235, 5);
    SetIntVar(168, 5);
    SetRealVar(235, 5.0);
    EXPECT_EQ(workingCopy[20].intValue, 0);
    EXPECT_EQ(workingCopy[124].realValue, 0.0);
    EXPECT_TRUE(db.NothingPending());
}

TEST_F(Transmit, SetAndConfirmAndKeyCommandsWithTheSimulatorConnected) {
    Connect();
    FromDb(linktest::IntItemUpdate(52, 1));
    EXPECT_TRUE(SetAndConfirm(124, 300));
    EXPECT_EQ(GetInt32(db.Receive().data() + 24), 300);
    KeyCRi(50, 1);
    EXPECT_EQ(GetInt32(db.Receive().data() + 20), 50);
    EXPECT_TRUE(db.NothingPending());
    EXPECT_EQ(NewLog().find("SetAndC"), std::string::npos);
}

TEST_F(Transmit, KeyCRiAboveTheLimitSendsEvenWithoutASimulator) {
    Connect();
    KeyCRi(50, 1);
    KeyCRi(190, 3);
    const Bytes d = db.Receive();
    EXPECT_EQ(GetInt32(d.data() + 20), 190);
    EXPECT_EQ(GetInt32(d.data() + 24), 3);
    EXPECT_TRUE(db.NothingPending());
}

TEST_F(Transmit, AFailedSendIsReportedAndLaterSendsGoAhead) {
    Connect();
    const Bytes tooBig(70000, 0);  // larger than any UDP datagram
    EXPECT_EQ(SendToDb(tooBig.data(), tooBig.size()), -2);
    EXPECT_TRUE(linktest::HasLine(NewLog(), "Client send error\n"));
    EXPECT_TRUE(linkConnected);
    SetIntVar(124, 1);
    EXPECT_EQ(db.Receive().size(), 28u);
}

TEST_F(Transmit, BroadcastWithoutAnAddressIsASendError) {
    broadcastTarget.addressValid = false;
    RequestDbAddress();
    broadcastTarget.addressValid = true;
    EXPECT_TRUE(linktest::HasLine(NewLog(), "Broadcast() - Broadcast send error\n"));
    EXPECT_TRUE(listener.NothingPending());
}

TEST_F(Transmit, WhileDownEachPeriodBroadcastsAnAddressRequest) {
    Period();
    ExpectAddressRequest();
    Period();
    ExpectAddressRequest();
    EXPECT_EQ(OwnMissedPeriods(), 2);
    EXPECT_TRUE(db.NothingPending());
}

TEST_F(Transmit, SixthSilentPeriodDisconnectsAndRequestsInTheSamePeriod) {
    Connect();
    Period();  // the connect counts as heard
    EXPECT_EQ(OwnMissedPeriods(), 0);
    ExpectKeepAlive();
    for (int silent = 1; silent <= 5; ++silent) {
        Period();
        ExpectKeepAlive();
        EXPECT_EQ(OwnMissedPeriods(), silent);
        EXPECT_TRUE(linkConnected);
    }
    EXPECT_TRUE(listener.NothingPending());
    Period();
    EXPECT_FALSE(linkConnected);
    EXPECT_TRUE(linktest::HasLine(NewLog(), "Monitor() - Disconnected\n"));
    ExpectAddressRequest();
    EXPECT_TRUE(db.NothingPending()) << "no keep-alive in the disconnecting period";
    const unsigned char d[4] = {};
    EXPECT_EQ(SendToDb(d, sizeof d), -1);
}

TEST_F(Transmit, AKeepAliveAfterFiveSilentPeriodsKeepsTheLinkUp) {
    Connect();
    Period();
    ExpectKeepAlive();
    for (int silent = 1; silent <= 5; ++silent) {
        Period();
        ExpectKeepAlive();
    }
    FromDb(linktest::KeepAliveFromDb());
    Period();
    ExpectKeepAlive();
    EXPECT_EQ(OwnMissedPeriods(), 0);
    EXPECT_TRUE(linkConnected);
    EXPECT_TRUE(listener.NothingPending());
}

TEST_F(Transmit, FlightPlansAloneDoNotKeepTheLinkUp) {
    Connect();
    Period();
    ExpectKeepAlive();
    for (int silent = 1; silent <= 6; ++silent) {
        FromDb(linktest::FlightPlanDatagram(1108, 0));
        FromDb(linktest::AddressReply("127.0.0.1 9100"));  // ignored while up
        Period();
        if (silent < 6) ExpectKeepAlive();
    }
    EXPECT_FALSE(linkConnected);
    ExpectAddressRequest();
}

TEST_F(Transmit, ReconnectSendsToTheNewAddress) {
    Connect();
    linkConnected = false;
    Peer other{9102};
    FromDb(linktest::AddressReply("127.0.0.1 9102"));
    ASSERT_TRUE(linkConnected);
    SetIntVar(124, 9);
    EXPECT_EQ(other.Receive().size(), 28u);
    EXPECT_TRUE(db.NothingPending());
}

}  // namespace
