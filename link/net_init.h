// Bringing the simulator link up once at start-up.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/net.h"

// The parameter file's say in where the link looks for the DB node.
struct NetworkKeywords {
    // Adapter name, description or address: that adapter's first address is
    // bound and announced, and its network is the one broadcast to. Empty:
    // the host address list and the last adapter decide.
    std::string adapter;
    // When set, address requests go to this address (port 9019) alone,
    // never to a broadcast address.
    std::optional<std::uint32_t> dbNode;
};

// InitUdp's result when no adapter matches NetworkKeywords::adapter; nothing
// has been opened or started then.
constexpr int kInitUdpNoAdapter = -2;

// Builds the variable table, creates the data and flight-plan mutexes, binds
// the monitor socket, starts the receiver and monitor threads and opens the
// broadcast socket. 0 on success, kInitUdpNoAdapter, kMonitorBindFailed when
// the monitor port is taken (another copy of the program, most likely), -1 on
// other failures.
constexpr int kMonitorBindFailed = -3;
int InitUdp(int monitorPort, int nodeNumber, const char* ipText, const char* maskText,
            int versionMajor, int versionMinor, const NetworkKeywords& keywords = {});

// Where FindHostAddress gets the host name and its address list.
struct HostLookup {
    bool (*readHostName)(char* buffer, std::size_t size);  // buffer left alone on failure
    bool (*resolve)(const char* name, platform::HostEntry* out);
};

// Reads the host name and chooses the bound and announced addresses from its
// address list, writing the start-up lines about them; fills hostName,
// boundIp and selectedIp (never empty afterwards).
void FindHostAddress(const HostLookup& lookup);

// The broadcast socket address (port 9019) of the local network, from the
// given address and mask when both are set, else from the adapter list: the
// adapter `adapterKey` chooses (see ChooseAdapter), the last one when it is
// empty. `echo` also prints the final success line. Nothing on failure.
std::optional<platform::Ipv4Endpoint> SelectBroadcastAddress(bool echo, const char* ipText,
                                                            const char* maskText,
                                                            const std::string& adapterKey = std::string());
