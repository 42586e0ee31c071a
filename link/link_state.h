// State of the simulator link shared by network start-up, the receiver, the
// monitor and the variable operations. Values written only before the link
// threads start are plain; values that threads share afterwards are atomic
// or guarded as noted.
#pragma once
#include <atomic>
#include <cstdint>

#include "platform/net.h"
#include "platform/steady_clock.h"
#include "platform/sync.h"
#include "platform/time.h"

constexpr int kNodeStatusCount = 25;       // node numbers 0 to 24
constexpr int kHostNameSize = 512;
constexpr int kBoundIpSize = 32;
constexpr int kSelectedIpSize = 101;       // at most 100 characters
constexpr int kDbAddressSize = 51;         // at most 50 characters
constexpr int kBroadcastPort = 9019;
constexpr int kReceiveBufferSize = 5000;
// A second of full updates at 60 Hz (60 datagrams of up to 5000 bytes, as
// the kernel accounts them) with the receiver stalled meanwhile.
constexpr long kMonitorSocketBufferBytes = 1L << 20;

struct NodeStatus {
    std::atomic<std::int32_t> missedPeriods;  // kept by Monitor for our own node
    std::int32_t status;
    char shortName[12];
};

// The connection to the DB node. Written by the receiver when the link comes
// up and read by every sender: both only while holding XmtMutex.
struct DbLinkRecord {
    std::int32_t port;
    platform::SocketHandle socket;
    char address[kDbAddressSize];
    platform::Ipv4Endpoint endpoint;
};

// Where address requests go. Filled by InitUdp after the link threads have
// started, so it is published through broadcastReady.
struct BroadcastTarget {
    platform::SocketHandle socket;
    platform::Ipv4Endpoint address;
    bool addressValid;  // false when no broadcast address could be computed
};

// What the link is handed when it starts (InitUdp): the real clock, mutexes
// and refresh wake-up in the program, fakes in tests.
struct LinkServices {
    platform::Clock clock;                                 // the receiver's back-off after an error
    platform::MutexFactory newMutex = &platform::NewMutex;  // DataMutex, FlightMutex and XmtMutex
    // Called by the receiver, never waiting, when a datagram changed a
    // variable the panels show (null: nothing).
    void (*shownValueChanged)(void* context) = nullptr;
    void* shownValueContext = nullptr;
};
// Written by InitUdp before the link threads start; read-only afterwards.
extern LinkServices linkServices;

extern std::int32_t monitorPort;
extern std::int32_t nodeNumber;
extern std::int32_t versionMajor;
extern std::int32_t versionMinor;
extern NodeStatus nodeStatus[kNodeStatusCount];

extern char hostName[kHostNameSize];
extern char boundIp[kBoundIpSize];
extern char selectedIp[kSelectedIpSize];

extern platform::Mutex* DataMutex;    // "DATAMUTEX": master table and working-copy refresh
extern platform::Mutex* FlightMutex;  // "FLIGHTMUTEX": flight plan buffer

extern platform::SocketHandle monitorSocket;
extern BroadcastTarget broadcastTarget;
extern std::atomic<bool> broadcastReady;

extern DbLinkRecord DbLink;
extern std::atomic<bool> linkConnected;
extern std::atomic<bool> heardFromDb;

extern std::atomic<std::int32_t> totalDatagrams;   // starts at 1, wraps after 9999
extern std::atomic<std::int32_t> missedDatagrams;  // only ever set back to 0
// Datagrams from another address than the DB node's (the one last connected
// to), other than address replies while the link is down: counted and
// otherwise ignored.
extern std::atomic<std::int32_t> strayDatagrams;

// For readers outside the link (the browser host's link line): the DB
// node's address (host byte order, 0 while none is known) and the steady
// clock's milliseconds at the last datagram from it (-1: none yet). Written
// by the receiver only.
extern std::atomic<std::uint32_t> dbNodeIpv4;
extern std::atomic<std::int64_t> lastDbDatagramMs;
// The clock lastDbDatagramMs is read on.
using platform::SteadyMs;

// missedPeriods of our own node's record.
std::atomic<std::int32_t>& OwnMissedPeriods();
