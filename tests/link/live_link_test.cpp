// The whole link as start-up brings it up: InitUdp with its receiver and
// monitor threads, against a scripted DB node on loopback. The monitor's
// 5-second sleeps are gated so the test moves it one period at a time.
// The period rules themselves are covered one pass at a time elsewhere.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "link/address_choice.h"
#include "link/link_state.h"
#include "link/net_init.h"
#include "link/var_access.h"
#include "link/var_table.h"
#include "link/wire.h"
#include "platform/time.h"
#include "tests/link/link_test_support.h"

namespace {

using linktest::Bytes;
using linktest::Field;
using linktest::PayloadText;
using linktest::Peer;
using linktest::ProcessLog;
using linktest::WaitFor;

// The monitor's sleep returns only when the test releases a period.
std::mutex gate;
std::condition_variable gateChanged;
int sleepsEntered = 0;
int periodsReleased = 0;
int lastSleepMs = 0;

void GatedSleep(int ms) {
    std::unique_lock<std::mutex> lock(gate);
    lastSleepMs = ms;
    const int mine = ++sleepsEntered;
    gateChanged.notify_all();
    gateChanged.wait(lock, [mine] { return periodsReleased >= mine; });
}

// Lets the monitor run one pass and waits until it sleeps again.
void StepMonitor() {
    std::unique_lock<std::mutex> lock(gate);
    const int next = ++periodsReleased + 1;
    gateChanged.notify_all();
    gateChanged.wait(lock, [next] { return sleepsEntered >= next; });
}

const platform::TimeSource kGatedClock{nullptr, GatedSleep};

Peer* db = nullptr;
Peer* listener = nullptr;
std::uint32_t monitorAddress = 0;

class LiveLink : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        db = new Peer(9100);
        listener = new Peer(9019, 0);
        platform::SetTimeSource(&kGatedClock);
        ASSERT_EQ(InitUdp(9099, 15, "", "", 1, 261206), 0);
        ASSERT_TRUE(platform::ParseIpv4(boundIp, &monitorAddress));
    }

    static void FromDb(const Bytes& d) { db->SendTo(9099, d, monitorAddress); }

    static std::string Expected(bool keepAlive) {
        const std::string values = std::string(selectedIp) + " 9099 1 261206";
        return keepAlive ? " " + values : values + "\n";
    }
    static void ExpectKeepAlive() {
        const Bytes k = db->Receive();
        EXPECT_EQ(Field(k, 3), 1);
        EXPECT_EQ(PayloadText(k), Expected(true));
    }
    static std::int32_t ExpectAddressRequest() {
        const Bytes r = listener->Receive();
        EXPECT_EQ(Field(r, 0), 2);
        EXPECT_EQ(Field(r, 1), 9);
        EXPECT_EQ(Field(r, 3), 0);
        EXPECT_EQ(Field(r, 4), 15);
        EXPECT_EQ(PayloadText(r), Expected(false));
        return Field(r, 2);
    }
    // Brings the link up (if it is down) and lets one heard period pass.
    static void ConnectFresh() {
        if (!linkConnected) {
            FromDb(linktest::AddressReply("127.0.0.1 9100"));
            ASSERT_TRUE(WaitFor([] { return linkConnected.load(); }));
        }
        heardFromDb = true;
        StepMonitor();
        ExpectKeepAlive();
        ASSERT_EQ(OwnMissedPeriods(), 0);
    }
};

TEST_F(LiveLink, StartUpLogsItsStepsInOrder) {
    char name[kHostNameSize];
    ASSERT_TRUE(platform::GetHostName(name, sizeof name));
    platform::HostEntry host;
    ASSERT_TRUE(platform::ResolveHostName(name, &host));
    const HostAddressChoice choice = ChooseHostAddresses(host.addresses);
    EXPECT_EQ(boundIp, choice.boundIp);
    EXPECT_EQ(selectedIp, choice.selectedIp);

    std::vector<std::string> expected = {
        "Log started.",
        "InitUdp() - StdVarCount: 235  Allowed: 237",
        "InitUdp() - DataMutex has been created",
        std::string("Hostname: ") + name,
        "Official name: " + host.officialName,
    };
    for (const std::string& a : host.addresses) {
        expected.push_back("HostIP: " + a);
        if (a.compare(0, 3, "127") != 0) expected.push_back("Selected IP: " + a);
    }
    expected.insert(expected.end(), {"Monitor Port is 9099", "   Desc: \tlo", "     IP: \t127.0.0.1",
                                     "   Mask: \t255.0.0.0", "Network successfully initialized.",
                                     "UDP services ver. 1.261206 successfully initialized"});
    const std::vector<std::string> m = linktest::Messages(ProcessLog());
    ASSERT_GE(m.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(m.begin(), m.begin() + static_cast<long>(expected.size())),
              expected);
}

TEST_F(LiveLink, WhileDownEveryPeriodBroadcastsTheNextRequest) {
    StepMonitor();
    const std::int32_t first = ExpectAddressRequest();
    StepMonitor();
    EXPECT_EQ(ExpectAddressRequest(), (first + 1) % 1000);
    EXPECT_EQ(OwnMissedPeriods(), 2);
    EXPECT_EQ(lastSleepMs, 5000);
    EXPECT_TRUE(db->NothingPending());
}

TEST_F(LiveLink, AddressReplyBringsTheLinkUpAndKeepAlivesFollow) {
    FromDb(linktest::AddressReply("127.0.0.1 9100"));
    ASSERT_TRUE(WaitFor([] { return linkConnected.load(); }));
    StepMonitor();
    ExpectKeepAlive();
    EXPECT_EQ(OwnMissedPeriods(), 0);
    EXPECT_TRUE(listener->NothingPending());
    EXPECT_TRUE(linktest::HasLine(ProcessLog(), "GetUdpMsg() - Connected to DB\n"));
}

TEST_F(LiveLink, UpdatesReachReadersOnOtherThreads) {
    ConnectFresh();
    FromDb(linktest::Update({{13, false, 4242, 0.0}, {1, true, 0, 51.5}}));
    ASSERT_TRUE(WaitFor([] { return GetIntVar(13) == 4242; }));
    EXPECT_EQ(GetRealVar(1), 51.5);
    SetIntVar(124, 270);
    const Bytes d = db->Receive();
    EXPECT_EQ(GetInt32(d.data() + 20), 124);
    EXPECT_EQ(GetInt32(d.data() + 24), 270);
}

// Readers and setters on several threads while the DB node streams updates
// and the monitor runs: the values stay whole (run under ThreadSanitizer).
TEST_F(LiveLink, ConcurrentReadersSettersReceiverAndMonitor) {
    ConnectFresh();
    std::atomic<bool> stop{false};
    std::atomic<int> tornReals{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([t, &stop, &tornReals] {
            for (int i = 0; !stop; ++i) {
                const double r = GetRealVar(1);
                // Every real the DB node sends is i + 0.5 with i as var 13's value.
                if (r != 0.0 && r - static_cast<int>(r) != 0.5) tornReals.fetch_add(1);
                GetIntVar(13);
                if (t == 0) SetIntVar(124, i % 360);
                if (t == 1) KeyCRi(190, i % 8);
                if (t == 2) SetRealVar(20, i);
            }
        });
    }
    for (int i = 1; i <= 2000; ++i) {
        FromDb(linktest::Update({{13, false, i, 0.0}, {1, true, 0, i + 0.5}}));
        if (i % 500 == 0) {
            heardFromDb = true;
            StepMonitor();
        }
    }
    // The flood may overrun the socket buffer; repeat the last one until it lands.
    bool landed = false;
    for (int attempt = 0; attempt < 500 && !landed; ++attempt) {
        FromDb(linktest::Update({{13, false, 2000, 0.0}, {1, true, 0, 2000.5}}));
        landed = WaitFor([] { return GetIntVar(13) == 2000; }, 20);
    }
    stop = true;
    for (std::thread& t : threads) t.join();
    ASSERT_TRUE(landed);
    EXPECT_EQ(tornReals.load(), 0);
    EXPECT_EQ(GetRealVar(1), 2000.5);
    EXPECT_TRUE(linkConnected);
}

}  // namespace
