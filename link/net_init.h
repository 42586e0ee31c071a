// Bringing the simulator link up once at start-up.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/net.h"

// Builds the variable table, creates the data and flight-plan mutexes, binds
// the monitor socket, starts the receiver and monitor threads and opens the
// broadcast socket. 0 on success, kMonitorBindFailed when the monitor port is
// taken (another copy of the program, most likely), -1 on other failures.
constexpr int kMonitorBindFailed = -2;
int InitUdp(int monitorPort, int nodeNumber, const char* ipText, const char* maskText,
            int versionMajor, int versionMinor);

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
// given address and mask when both are set, else from the adapter list.
// `echo` also prints the final success line. Nothing on failure.
std::optional<platform::Ipv4Endpoint> SelectBroadcastAddress(bool echo, const char* ipText,
                                                            const char* maskText);
