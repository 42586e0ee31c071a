// Link benchmarks on loopback (run inside a private network namespace, through
// tests/support/run_in_netns.sh). They report; they never fail.
//
// - The receiver (GetUdpMsg) beside a bare recvfrom loop and a recvmmsg loop on
//   the same socket setup, in one run, repeated; the ratios are printed last.
//   Every receive has a timeout: a lost datagram shows as a counter.
// - GetIntVar when nothing changed, and on the first read after an update
//   (which refreshes the whole working copy).
// - SetIntVar to arrival at the DB node, on one thread and across threads.
#include <benchmark/benchmark.h>

#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "base/log.h"
#include "link/link_state.h"
#include "link/receiver.h"
#include "link/var_access.h"
#include "link/var_table_testing.h"
#include "platform/net.h"
#include "protocol/wire.h"
#include "tests/support/netns_guard.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kLoopback = 0x7F000001;
constexpr std::uint16_t kMonitorPort = 9099;
constexpr std::uint16_t kBarePort = 9098;
constexpr std::uint16_t kBatchPort = 9097;
constexpr std::uint16_t kDbPort = 9100;
constexpr int kBatch = 64;  // well inside the sockets' receive buffers
constexpr int kTimeoutMs = 200;
constexpr int kRepetitions = 7;

platform::SocketHandle sender = platform::kInvalidSocket;
platform::SocketHandle bareSocket = platform::kInvalidSocket;
platform::SocketHandle batchSocket = platform::kInvalidSocket;
platform::SocketHandle dbSocket = platform::kInvalidSocket;

// Items per second of each receive loop, one figure per repetition.
std::map<std::string, std::vector<double>> rates;

void SetReceiveTimeout(platform::SocketHandle s, int ms) {
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
}

platform::SocketHandle BoundSocket(std::uint16_t port) {
    const platform::SocketHandle s = platform::OpenUdpSocket();
    platform::BindUdp(s, platform::Ipv4Endpoint{kLoopback, port});
    platform::SetReceiveBufferSize(s, kMonitorSocketBufferBytes);
    SetReceiveTimeout(s, kTimeoutMs);
    return s;
}

// The link as InitUdp leaves it, without its threads: the benchmark is the receiver.
void SetUpLink() {
    InitDB();
    DataMutex = platform::NewMutex("DATAMUTEX");
    FlightMutex = platform::NewMutex("FLIGHTMUTEX");
    monitorSocket = BoundSocket(kMonitorPort);
    bareSocket = BoundSocket(kBarePort);
    batchSocket = BoundSocket(kBatchPort);
    dbSocket = BoundSocket(kDbPort);
    sender = platform::OpenUdpSocket();
    // The sender is the DB node last connected to: its updates are applied.
    DbLink.port = kDbPort;
    DbLink.endpoint = {kLoopback, kDbPort};
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

void Report(benchmark::State& state, std::int64_t received, std::int64_t errors) {
    state.SetItemsProcessed(received);
    state.counters["dropped"] = static_cast<double>(state.iterations() * kBatch - received);
    state.counters["errors"] = static_cast<double>(errors);
    state.counters["items_per_s"] = benchmark::Counter(static_cast<double>(received), benchmark::Counter::kIsRate);
}

void RecordRate(const char* name, std::int64_t received, double seconds) {
    if (seconds > 0) rates[name].push_back(static_cast<double>(received) / seconds);
}

void BM_ReceiverAppliesUpdates(benchmark::State& state) {
    const std::vector<unsigned char> d = TypicalUpdate();
    std::int64_t received = 0, errors = 0;
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SendBatch(kMonitorPort, d);
        totalDatagrams = 1;  // counts what the receiver took in this batch
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < kBatch; ++i) GetUdpMsg();
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        const std::int32_t got = totalDatagrams - 1;
        received += got;
        errors += kBatch - got;  // each missing datagram was a timed-out receive
    }
    Report(state, received, errors);
    RecordRate("receiver", received, seconds);
}
BENCHMARK(BM_ReceiverAppliesUpdates)->Repetitions(kRepetitions)->MinTime(0.2);

void BM_BareRecvfromLoop(benchmark::State& state) {
    const std::vector<unsigned char> d = TypicalUpdate();
    unsigned char buffer[kReceiveBufferSize + 1];
    std::int64_t received = 0, errors = 0;
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SendBatch(kBarePort, d);
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < kBatch; ++i) {
            const long n = platform::ReceiveFrom(bareSocket, buffer, kReceiveBufferSize);
            if (n > 0) ++received;
            else ++errors;
        }
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
    }
    Report(state, received, errors);
    RecordRate("bare recvfrom", received, seconds);
}
BENCHMARK(BM_BareRecvfromLoop)->Repetitions(kRepetitions)->MinTime(0.2);

void BM_RecvmmsgLoop(benchmark::State& state) {
    const std::vector<unsigned char> d = TypicalUpdate();
    std::vector<unsigned char> buffers(static_cast<std::size_t>(kBatch) * (kReceiveBufferSize + 1));
    iovec iov[kBatch];
    mmsghdr msgs[kBatch];
    for (int i = 0; i < kBatch; ++i) {
        iov[i] = iovec{buffers.data() + static_cast<std::size_t>(i) * (kReceiveBufferSize + 1), kReceiveBufferSize};
        msgs[i] = mmsghdr{};
        msgs[i].msg_hdr.msg_iov = &iov[i];
        msgs[i].msg_hdr.msg_iovlen = 1;
    }
    std::int64_t received = 0, errors = 0;
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SendBatch(kBatchPort, d);
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        int got = 0;
        while (got < kBatch) {
            const int n = recvmmsg(batchSocket, msgs, static_cast<unsigned>(kBatch - got), MSG_WAITFORONE, nullptr);
            if (n <= 0) {
                ++errors;  // timed out: the rest of the batch was lost
                break;
            }
            got += n;
        }
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        received += got;
    }
    Report(state, received, errors);
    RecordRate("recvmmsg", received, seconds);
}
BENCHMARK(BM_RecvmmsgLoop)->Repetitions(kRepetitions)->MinTime(0.2);

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

// The first read after an update refreshes the whole working copy.
void BM_GetIntVarFirstAfterUpdate(benchmark::State& state) {
    std::int32_t value = 0;
    for (auto _ : state) {
        SetMasterIntForTest(47, ++value);  // as the receiver would, outside the timing
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(GetIntVar(47));
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(BM_GetIntVarFirstAfterUpdate)->UseManualTime();

void Connect() {
    if (linkConnected) return;
    const char reply[] = "127.0.0.1 9100";
    std::vector<unsigned char> d(kHeaderSize);
    EncodeHeader(d.data(), DatagramHeader{kClassControl, kMsgAddressReply, 1, 0, 3});
    d.insert(d.end(), reply, reply + sizeof reply - 1);
    platform::SendTo(sender, d.data(), d.size(), platform::Ipv4Endpoint{kLoopback, kMonitorPort});
    GetUdpMsg();
}

void ReportLatencies(benchmark::State& state, std::vector<double>& micros, std::int64_t lost) {
    state.counters["lost"] = static_cast<double>(lost);
    if (micros.empty()) return;
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
}

// SetIntVar to the 28-byte datagram in the DB node's hands, received on the
// same thread right after the send.
void BM_SetIntVarToArrivalSameThread(benchmark::State& state) {
    Connect();
    std::vector<double> micros;
    std::int64_t lost = 0;
    unsigned char buffer[256];
    std::int32_t value = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        SetIntVar(124, ++value % 360);
        const long n = platform::ReceiveFrom(dbSocket, buffer, sizeof buffer);
        const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        if (n == kIntUpdateSize) micros.push_back(us);
        else ++lost;
        state.SetIterationTime(us / 1e6);
    }
    ReportLatencies(state, micros, lost);
}
BENCHMARK(BM_SetIntVarToArrivalSameThread)->UseManualTime();

// The same with the DB node blocked in a receive on a thread of its own, as
// it is in life: the wake-up of that thread is part of the figure.
void BM_SetIntVarToArrivalAcrossThreads(benchmark::State& state) {
    Connect();
    std::atomic<bool> stop{false};
    std::atomic<std::int64_t> arrivedNs{0};
    std::atomic<std::int32_t> arrivedValue{-1};
    std::thread peer([&] {
        unsigned char buffer[256];
        while (!stop.load()) {
            const long n = platform::ReceiveFrom(dbSocket, buffer, sizeof buffer);
            if (n != kIntUpdateSize) continue;  // timed out: look at stop again
            arrivedNs.store(Clock::now().time_since_epoch().count());
            arrivedValue.store(GetInt32(buffer + kHeaderSize + 4));
        }
    });
    std::vector<double> micros;
    std::int64_t lost = 0;
    std::int32_t value = 0;
    for (auto _ : state) {
        value = (value + 1) % 360;
        const Clock::time_point start = Clock::now();
        SetIntVar(124, value);
        const Clock::time_point giveUp = start + std::chrono::milliseconds(kTimeoutMs);
        while (arrivedValue.load() != value && Clock::now() < giveUp) {
        }
        if (arrivedValue.load() != value) {
            ++lost;
            state.SetIterationTime(kTimeoutMs / 1e3);
            continue;
        }
        const double us = std::chrono::duration<double, std::micro>(
                              Clock::time_point(Clock::duration(arrivedNs.load())) - start)
                              .count();
        micros.push_back(us);
        state.SetIterationTime(us / 1e6);
    }
    stop = true;
    peer.join();
    ReportLatencies(state, micros, lost);
}
BENCHMARK(BM_SetIntVarToArrivalAcrossThreads)->UseManualTime();

// Median of the repetitions, which are the last runs (earlier ones size the
// iteration count).
double Median(std::vector<double> v) {
    if (v.size() > static_cast<std::size_t>(kRepetitions)) v.erase(v.begin(), v.end() - kRepetitions);
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void PrintRatios() {
    const double receiver = Median(rates["receiver"]);
    if (receiver <= 0) return;
    std::printf("\nReceive loops, median items/s of %d repetitions (receiver = 1.00):\n", kRepetitions);
    for (const char* name : {"receiver", "bare recvfrom", "recvmmsg"}) {
        const double r = Median(rates[name]);
        std::printf("  %-14s %12.0f items/s  %5.2f x\n", name, r, r / receiver);
    }
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::RequirePrivateNetworkNamespace();
    StartLog("ORVBench.log");
    SetUpLink();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintRatios();
    return 0;
}
