// Link benchmarks on loopback (run inside a private network namespace):
// receiver throughput beside a bare receive loop on the same socket setup,
// the cost of a read when nothing changed, and the time from a set to the
// datagram arriving at the DB node.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "link/link_state.h"
#include "link/receiver.h"
#include "link/var_access.h"
#include "link/var_table.h"
#include "protocol/wire.h"
#include "platform/net.h"
#include "base/log.h"
#include "tests/support/netns_guard.h"

namespace {

constexpr std::uint32_t kLoopback = 0x7F000001;
constexpr std::uint16_t kMonitorPort = 9099;
constexpr std::uint16_t kBarePort = 9098;
constexpr std::uint16_t kDbPort = 9100;
constexpr int kBatch = 64;  // well inside the socket's receive buffer

platform::SocketHandle sender = platform::kInvalidSocket;
platform::SocketHandle bareSocket = platform::kInvalidSocket;
platform::SocketHandle dbSocket = platform::kInvalidSocket;

platform::SocketHandle BoundSocket(std::uint16_t port) {
    const platform::SocketHandle s = platform::OpenUdpSocket();
    platform::BindUdp(s, platform::Ipv4Endpoint{kLoopback, port});
    return s;
}

// The link as InitUdp leaves it, without its threads: the benchmark is the receiver.
void SetUpLink() {
    InitDB();
    DataMutex = platform::CreateMutex("DATAMUTEX");
    FlightMutex = platform::CreateMutex("FLIGHTMUTEX");
    monitorSocket = BoundSocket(kMonitorPort);
    bareSocket = BoundSocket(kBarePort);
    dbSocket = BoundSocket(kDbPort);
    sender = platform::OpenUdpSocket();
}

// A typical update from the DB node: eight variables, reals and integers.
std::vector<unsigned char> TypicalUpdate() {
    const int reals[] = {1, 2, 6, 11, 12};
    const int ints[] = {13, 47, 50};
    std::vector<unsigned char> d(kHeaderSize);
    EncodeHeader(d.data(), DatagramHeader{kClassData, kMsgVarUpdate, 1, 8, 3});
    for (int index : reals) {
        unsigned char item[12];
        PutInt32(item, index);
        PutDouble(item + 4, index * 1.25);
        d.insert(d.end(), item, item + 12);
    }
    for (int index : ints) {
        unsigned char item[8];
        PutInt32(item, index);
        PutInt32(item + 4, index * 3);
        d.insert(d.end(), item, item + 8);
    }
    return d;
}

void SendBatch(std::uint16_t port, const std::vector<unsigned char>& d) {
    for (int i = 0; i < kBatch; ++i) {
        platform::SendTo(sender, d.data(), d.size(), platform::Ipv4Endpoint{kLoopback, port});
    }
}

void BM_ReceiverAppliesUpdates(benchmark::State& state) {
    const std::vector<unsigned char> d = TypicalUpdate();
    for (auto _ : state) {
        state.PauseTiming();
        SendBatch(kMonitorPort, d);
        state.ResumeTiming();
        for (int i = 0; i < kBatch; ++i) GetUdpMsg();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_ReceiverAppliesUpdates);

void BM_BareReceiveLoop(benchmark::State& state) {
    const std::vector<unsigned char> d = TypicalUpdate();
    unsigned char buffer[kReceiveBufferSize + 1];
    for (auto _ : state) {
        state.PauseTiming();
        SendBatch(kBarePort, d);
        state.ResumeTiming();
        for (int i = 0; i < kBatch; ++i) {
            benchmark::DoNotOptimize(platform::ReceiveFrom(bareSocket, buffer, kReceiveBufferSize));
        }
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_BareReceiveLoop);

void BM_GetIntVarUnchanged(benchmark::State& state) {
    FreshenCopy();
    for (auto _ : state) benchmark::DoNotOptimize(GetIntVar(47));
}
BENCHMARK(BM_GetIntVarUnchanged);

void BM_GetRealVarUnchanged(benchmark::State& state) {
    FreshenCopy();
    for (auto _ : state) benchmark::DoNotOptimize(GetRealVar(11));
}
BENCHMARK(BM_GetRealVarUnchanged);

// Time from SetIntVar to the 28-byte datagram in the DB node's hands.
void BM_SetIntVarToArrival(benchmark::State& state) {
    if (!linkConnected) {
        const char reply[] = "127.0.0.1 9100";
        std::vector<unsigned char> d(kHeaderSize);
        EncodeHeader(d.data(), DatagramHeader{kClassControl, kMsgAddressReply, 1, 0, 3});
        d.insert(d.end(), reply, reply + sizeof reply - 1);
        platform::SendTo(sender, d.data(), d.size(), platform::Ipv4Endpoint{kLoopback, kMonitorPort});
        GetUdpMsg();
    }
    using Clock = std::chrono::steady_clock;
    std::vector<double> micros;
    micros.reserve(1 << 20);
    unsigned char buffer[256];
    std::int32_t value = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        SetIntVar(124, ++value % 360);
        platform::ReceiveFrom(dbSocket, buffer, sizeof buffer);
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    if (micros.empty()) return;
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
}
BENCHMARK(BM_SetIntVarToArrival);

}  // namespace

int main(int argc, char** argv) {
    testsupport::RequirePrivateNetworkNamespace();
    StartLog("ORVBench.log");
    SetUpLink();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
