// The FMC against the real link: what it sends reaches the DB node's port,
// in order. Runs in a private network namespace (see main below).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

#include "fmc/fmc_cycle.h"
#include "fmc/fmc_state.h"
#include "fmc/geometry.h"
#include "link/link_state.h"
#include "link/net_init.h"
#include "link/var_access.h"
#include "link/wire.h"
#include "platform/net.h"
#include "platform/time.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "tests/support/netns_guard.h"

namespace {

constexpr std::uint32_t kLoopback = 0x7F000001;
constexpr std::uint16_t kClientPort = 9099;
constexpr std::uint16_t kDbPort = 9211;

// The FMC's pauses run on this thread's virtual clock; the link threads keep
// the real one.
std::int64_t virtualMs = 1'700'000'000'000;
std::int64_t VirtualSeconds() { return virtualMs / 1000; }
void VirtualSleep(int ms) { virtualMs += ms; }
const platform::TimeSource kVirtualClock{VirtualSeconds, VirtualSleep};

using Bytes = std::vector<unsigned char>;

// One variable update as the FMC sends it.
struct Sent {
    std::int32_t index;
    bool real;
    double value;
    std::int32_t sequence;
};

std::string Describe(const Sent& s) {
    char text[64];
    std::snprintf(text, sizeof text, "%s %d=%.4f", s.real ? "Real" : "Int", s.index, s.value);
    return text;
}

std::string IntUpdate(std::int32_t index, std::int32_t value) {
    return Describe({index, false, static_cast<double>(value), 0});
}
std::string RealUpdate(std::int32_t index, double value) { return Describe({index, true, value, 0}); }

class DbPeer {
public:
    DbPeer() {
        socket_ = platform::OpenUdpSocket();
        EXPECT_NE(socket_, platform::kInvalidSocket);
        EXPECT_TRUE(platform::BindUdp(socket_, {kLoopback, kDbPort}));
    }

    void SendToClient(const Bytes& datagram) const {
        platform::SendTo(socket_, datagram.data(), datagram.size(), {kLoopback, kClientPort});
    }

    void ReplyAddress() const {
        Bytes d(kHeaderSize);
        EncodeHeader(d.data(), DatagramHeader{kClassControl, kTypeAddressReply, 1, 1, 1});
        const std::string text = "127.0.0.1 " + std::to_string(kDbPort);
        d.insert(d.end(), text.begin(), text.end());
        SendToClient(d);
    }

    void ReportInt(std::int32_t index, std::int32_t value) const {
        Bytes d(kIntUpdateSize);
        BuildIntUpdate(d.data(), 1, 1, index, value);
        SendToClient(d);
    }

    void ReportReal(std::int32_t index, double value) const {
        Bytes d(kRealUpdateSize);
        BuildRealUpdate(d.data(), 1, 1, index, value);
        SendToClient(d);
    }

    void SendPlan(const FlightPlan& plan) const {
        Bytes d(kHeaderSize + sizeof plan);
        EncodeHeader(d.data(), DatagramHeader{kClassData, kTypeFlightPlan, 1, 1, 1});
        std::memcpy(d.data() + kHeaderSize, &plan, sizeof plan);
        SendToClient(d);
    }

    // Every variable update received so far. A marker sent to ourselves
    // ends the read: the FMC's sends were made before it.
    std::vector<Sent> Drain() const {
        static const char kMarker[] = "end-of-drain";
        platform::SendTo(socket_, kMarker, sizeof kMarker, {kLoopback, kDbPort});
        std::vector<Sent> out;
        unsigned char buffer[2048];
        for (;;) {
            const long n = platform::ReceiveFrom(socket_, buffer, sizeof buffer);
            if (n == static_cast<long>(sizeof kMarker) && std::memcmp(buffer, kMarker, n) == 0) break;
            if (n < static_cast<long>(kHeaderSize)) continue;
            const DatagramHeader h = DecodeHeader(buffer);
            if (h.msgClass != kClassData || h.msgType != kTypeVarUpdate) continue;  // keep-alives
            EXPECT_EQ(h.itemCount, 1);
            EXPECT_EQ(h.senderId, Settings.nodeId);
            const std::int32_t index = GetInt32(buffer + kHeaderSize);
            if (n == static_cast<long>(kRealUpdateSize)) {
                out.push_back({index, true, GetDouble(buffer + kHeaderSize + 4), h.sequence});
            } else {
                EXPECT_EQ(n, static_cast<long>(kIntUpdateSize));
                out.push_back({index, false, static_cast<double>(GetInt32(buffer + kHeaderSize + 4)),
                               h.sequence});
            }
        }
        return out;
    }

private:
    platform::SocketHandle socket_ = platform::kInvalidSocket;
};

std::vector<std::string> Describe(const std::vector<Sent>& sent) {
    std::vector<std::string> out;
    for (const Sent& s : sent) out.push_back(Describe(s));
    return out;
}

// Waits (in real time) until the receiver has applied what the peer sent.
template <typename Condition>
bool WaitFor(Condition done) {
    for (int i = 0; i < 400; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

FlightPoint Point(double latitude, double longitude) {
    FlightPoint p{};
    p.latitude = latitude;
    p.longitude = longitude;
    p.nav1Course = -1;
    p.nav2Course = -1;
    return p;
}

std::vector<std::string> ResetUpdates(std::int32_t activePoint) {
    return {IntUpdate(178, 0), IntUpdate(211, 0), IntUpdate(217, 0),
            IntUpdate(218, 0), IntUpdate(219, 0), IntUpdate(220, 0),
            IntUpdate(179, 0), IntUpdate(216, 0), IntUpdate(222, activePoint)};
}

// One scenario from connection to steering: the link threads are
// process-wide and started once.
TEST(FmcOnTheWire, StartPlanLoadAndSteering) {
    platform::SetThreadTimeSource(&kVirtualClock);
    Settings.debugFmc = true;
    ASSERT_EQ(InitUdp(kClientPort, Settings.nodeId, "", "", 1, 261206), 0);

    DbPeer db;
    db.ReplyAddress();
    ASSERT_TRUE(WaitFor([] { return linkConnected.load(); }));
    db.ReportInt(52, 1);  // simulator connected: SetAndConfirm sends
    db.ReportReal(11, 0.0);
    db.ReportReal(12, 0.0);
    ASSERT_TRUE(WaitFor([] { return GetIntVar(52) == 1; }));

    FlightPlan plan{};
    plan.serial = 11;
    plan.pointCount = 3;
    plan.points[0] = Point(0.0, 1.0);  // due east of the aircraft
    plan.points[0].speed = 250.0f;
    plan.points[0].altitude = 8000.0f;
    plan.points[0].nav1Frequency = 11390;
    plan.points[1] = Point(0.0, 2.0);
    plan.points[2] = Point(0.0, 3.0);
    db.SendPlan(plan);
    ASSERT_TRUE(WaitFor([] {
        FlightPlan copy{};
        GetFlightPlanCopy(&copy, sizeof copy);
        return copy.serial == 11;
    }));

    // Thread start: TO/GA, LNAV and VNAV cleared, in this order.
    FmcThreadStart();
    std::vector<Sent> sent = db.Drain();
    EXPECT_EQ(Describe(sent), (std::vector<std::string>{IntUpdate(211, 0), IntUpdate(217, 0),
                                                         IntUpdate(219, 0), IntUpdate(218, 0),
                                                         IntUpdate(220, 0)}));
    for (std::size_t i = 1; i < sent.size(); ++i) {
        EXPECT_GT(sent[i].sequence, sent[i - 1].sequence);
    }

    // First cycle: master reset, then point 0 published, tuned and targeted.
    FmcCycle();
    const double course = InitialBearing(0.0, 0.0, 0.0, 1.0);
    std::vector<std::string> expected = ResetUpdates(0);
    const std::vector<std::string> activation = {
        RealUpdate(214, 250.0), RealUpdate(215, 8000.0), RealUpdate(213, 0.0),
        RealUpdate(212, 1.0),   IntUpdate(216, 1),       RealUpdate(221, course),
        IntUpdate(222, 0),      IntUpdate(126, 0x1390),  IntUpdate(126, 0x1390),
        IntUpdate(124, 250),    IntUpdate(123, 8000),    IntUpdate(126, 0x1390)};
    expected.insert(expected.end(), activation.begin(), activation.end());
    sent = db.Drain();
    EXPECT_EQ(Describe(sent), expected);
    ASSERT_GE(sent.size(), 15u);
    EXPECT_DOUBLE_EQ(sent[14].value, course);

    // The DB node engages LNAV and heading hold but names a point the plan
    // does not have: no active point, nothing is sent.
    db.ReportInt(217, 1);
    db.ReportInt(50, 1);
    db.ReportInt(222, 7);
    ASSERT_TRUE(WaitFor([] { return GetIntVar(222) == 7; }));
    FmcCycle();
    FmcCycle();
    EXPECT_TRUE(db.Drain().empty());

    // Back to point 0: steered straight at it (bearing and reference agree).
    db.ReportInt(222, 0);
    ASSERT_TRUE(WaitFor([] { return GetIntVar(222) == 0; }));
    FmcCycle();
    EXPECT_EQ(Describe(db.Drain()), (std::vector<std::string>{IntUpdate(122, 90)}));

    platform::SetThreadTimeSource(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::RequirePrivateNetworkNamespace();
    ::testing::InitGoogleTest(&argc, argv);
    char dir[] = "/tmp/orv_fmc_wire_XXXXXX";
    if (mkdtemp(dir) == nullptr || chdir(dir) != 0) {
        std::perror("temporary directory");
        return 1;
    }
    StartLog("ORVVarnoth.log");
    const int result = RUN_ALL_TESTS();
    // Removed while still the working directory: a line logged after this
    // (the link threads run on) is dropped rather than written elsewhere.
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return result;
}
