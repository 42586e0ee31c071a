// The FMC against the real link, in a private network namespace (see main):
// its sets reach the DB node's port, in order.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>


#include "protocol/flight_plan.h"
#include "fmc/fmc_cycle.h"
#include "fmc/fmc_state.h"
#include "fmc/geometry.h"
#include "link/link_state.h"
#include "link/net_init.h"
#include "link/var_access.h"
#include "protocol/wire.h"
#include "platform/time.h"
#include "base/log.h"
#include "base/settings.h"
#include "tests/support/netns_guard.h"
#include "tests/support/portable.h"

extern "C" const char* __tsan_default_options() { return "halt_on_error=1"; }

namespace {

constexpr std::uint32_t kLoopback = 0x7F000001;
constexpr std::uint16_t kClientPort = 9099;
constexpr std::uint16_t kDbPort = 9211;
using Strings = std::vector<std::string>;

// The FMC's pauses run on a virtual clock; the link threads keep the real one.
std::int64_t virtualMs = 1'700'000'000'000;
const platform::Clock kVirtualClock{[] { return virtualMs / 1000; },
                                    [](int ms) { virtualMs += ms; }};

std::string Update(const char* kind, std::int32_t index, double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%s %d=%.4f", kind, index, value);
    return text;
}

// Owns its socket: never copied. Receives give up after 3 s, so a lost
// datagram fails the test instead of hanging it.
struct DbPeer {
    DbPeer() {
        platform::SetReceiveTimeout(socket, 3000);
    }
    ~DbPeer() { platform::CloseSocket(socket); }
    DbPeer(const DbPeer&) = delete;
    DbPeer& operator=(const DbPeer&) = delete;

    platform::SocketHandle socket = platform::OpenUdpSocket();

    void Datagram(std::int32_t msgClass, std::int32_t type, const void* data, std::size_t n) const {
        std::vector<unsigned char> d(kHeaderSize + n);
        EncodeHeader(d.data(), DatagramHeader{msgClass, type, 1, 1, 1});
        std::memcpy(d.data() + kHeaderSize, data, n);
        // To where the link bound its monitor socket: loopback, or the
        // adapter the system listed.
        std::uint32_t monitor = kLoopback;
        if (!platform::ParseIpv4(boundIp, &monitor) || monitor == 0) monitor = kLoopback;
        platform::SendTo(socket, d.data(), d.size(), {monitor, kClientPort});
    }
    // The variable updates received so far, as "Int 222=0.0000" and the like.
    // A marker sent to ourselves ends the read: the FMC's sends came before it.
    Strings Drain() const {
        static const char kMarker[] = "end-of-drain";
        platform::SendTo(socket, kMarker, sizeof kMarker, {kLoopback, kDbPort});
        Strings out;
        unsigned char b[2048];
        for (;;) {
            const long n = platform::ReceiveFrom(socket, b, sizeof b);
            if (n < 0) {
                ADD_FAILURE() << "the drain marker never came back";
                break;
            }
            if (n == static_cast<long>(sizeof kMarker) && std::memcmp(b, kMarker, n) == 0) break;
            if (n < static_cast<long>(kHeaderSize)) continue;
            const DatagramHeader h = DecodeHeader(b);
            if (h.msgClass != kClassData || h.msgType != kMsgVarUpdate) continue;  // keep-alives
            EXPECT_EQ(h.senderId, Settings.nodeId);
            const std::int32_t index = GetInt32(b + kHeaderSize);
            out.push_back(n == static_cast<long>(kRealUpdateSize)
                              ? Update("Real", index, GetDouble(b + kHeaderSize + 4))
                              : Update("Int", index, GetInt32(b + kHeaderSize + 4)));
        }
        return out;
    }
};

// Waits (in real time) until the receiver has applied what the peer sent.
template <typename Condition>
bool WaitFor(Condition done) {
    for (int i = 0; i < 400 && !done(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

TEST(FmcOnTheWire, ThreadStartAndFirstCycleOfAThreePointPlan) {
    fmcState.clock = kVirtualClock;
    ThreadOwner linkThreads;
    ASSERT_EQ(InitUdp(linkThreads, {}, kClientPort, Settings.nodeId, 1, 261206), 0);
    DbPeer db;
    ASSERT_TRUE(platform::BindUdp(db.socket, {kLoopback, kDbPort}));
    const std::string reply = "127.0.0.1 " + std::to_string(kDbPort);
    db.Datagram(kClassControl, kMsgAddressReply, reply.data(), reply.size());
    ASSERT_TRUE(WaitFor([] { return linkConnected.load(); }));
    const std::int32_t simConnected[] = {52, 1};  // SetAndConfirm sends only then
    db.Datagram(kClassData, kMsgVarUpdate, simConnected, sizeof simConnected);
    ASSERT_TRUE(WaitFor([] { return GetIntVar(52) == 1; }));

    FlightPlan plan{};
    plan.serial = 11;
    plan.pointCount = 3;
    for (int i = 0; i < 3; ++i) {
        plan.points[i].longitude = 1.0 + i;  // along the equator, east of the aircraft
        plan.points[i].nav1Course = plan.points[i].nav2Course = -1;
    }
    plan.points[0].speed = 250;
    plan.points[0].altitude = 8000;
    plan.points[0].nav1Frequency = 11390;
    db.Datagram(kClassData, kMsgFlightPlan, &plan, sizeof plan);
    ASSERT_TRUE(WaitFor([] {
        FlightPlan copy{};
        return GetFlightPlanCopy(&copy, sizeof copy) && copy.serial == 11;
    }));

    const auto I = [](std::int32_t index, double value) { return Update("Int", index, value); };
    FmcThreadStart();
    EXPECT_EQ(db.Drain(), (Strings{I(211, 0), I(217, 0), I(219, 0), I(218, 0), I(220, 0)}));
    FmcCycle();
    EXPECT_EQ(db.Drain(),
              (Strings{I(178, 0), I(211, 0), I(217, 0), I(218, 0), I(219, 0), I(220, 0), I(179, 0),
                       I(216, 0), I(222, 0), Update("Real", 214, 250), Update("Real", 215, 8000),
                       Update("Real", 213, 0), Update("Real", 212, 1), I(216, 1),
                       Update("Real", 221, InitialBearing(0, 0, 0, 1)), I(222, 0), I(126, 0x1390),
                       I(126, 0x1390), I(124, 250), I(123, 8000), I(126, 0x1390)}));
    fmcState.clock = platform::kSystemClock;
}

// A FlightMutex wait that fails: the copy is still taken, nothing released.
TEST(FmcOnTheWire, PlanCopyWithAFailedWaitReleasesNothing) {
    struct FailingMutex final : platform::Mutex {
        platform::WaitResult Wait() override { return platform::WaitResult::Failed; }
        bool Release() override { return ++releases, true; }
        int releases = 0;
    } failing;
    platform::Mutex* const real = FlightMutex;
    FlightMutex = &failing;
    FlightPlan copy{};
    copy.serial = -5;
    EXPECT_TRUE(GetFlightPlanCopy(&copy, sizeof copy));
    FlightMutex = real;
    EXPECT_EQ(failing.releases, 0);
    EXPECT_NE(copy.serial, -5);
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::RequirePrivateNetworkNamespace();
    ::testing::InitGoogleTest(&argc, argv);
    platform::StartSockets(0x0202);
    const std::string dir = testsupport::MakeTempDir("orv_fmc_wire_");
    if (dir.empty() || !testsupport::ChangeDir(dir)) return std::perror("temporary directory"), 1;
    StartLog("ORVVarnoth.log");
    const int result = RUN_ALL_TESTS();
    // Removed while still the working directory: later lines of the link
    // threads are dropped rather than written elsewhere.
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return result;
}
