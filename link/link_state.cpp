#include "link/link_state.h"

LinkServices linkServices;

std::int32_t monitorPort = 0;
std::int32_t nodeNumber = 0;
std::int32_t versionMajor = 0;
std::int32_t versionMinor = 0;
NodeStatus nodeStatus[kNodeStatusCount];

char hostName[kHostNameSize] = "NotInitialized";
char boundIp[kBoundIpSize] = "0.0.0.0";
char selectedIp[kSelectedIpSize] = "";

platform::Mutex* DataMutex = nullptr;
platform::Mutex* FlightMutex = nullptr;

platform::SocketHandle monitorSocket = platform::kInvalidSocket;
BroadcastTarget broadcastTarget{platform::kInvalidSocket, {}, false};
std::atomic<bool> broadcastReady{false};

DbLinkRecord DbLink{0, platform::kInvalidSocket, "", {}};
std::atomic<bool> linkConnected{false};
std::atomic<bool> heardFromDb{false};

std::atomic<std::int32_t> totalDatagrams{1};
std::atomic<std::int32_t> missedDatagrams{0};
std::atomic<std::int32_t> strayDatagrams{0};

std::atomic<std::uint32_t> dbNodeIpv4{0};
std::atomic<std::int64_t> lastDbDatagramMs{-1};

std::atomic<std::int32_t>& OwnMissedPeriods() {
    // A node number outside the table would index past it; use record 0.
    const int n = nodeNumber >= 0 && nodeNumber < kNodeStatusCount ? nodeNumber : 0;
    return nodeStatus[n].missedPeriods;
}
