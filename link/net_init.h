// Bringing the simulator link up once at start-up.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/thread_owner.h"
#include "link/address_choice.h"
#include "link/link_state.h"
#include "platform/net.h"

// InitUdp's result when no adapter matches NetworkKeywords::adapter; nothing
// has been opened or started then.
constexpr int kInitUdpNoAdapter = -2;

// Where FindHostAddress gets the host name and its address list.
struct HostLookup {
    bool (*readHostName)(char* buffer, std::size_t size);  // buffer left alone on failure
    bool (*resolve)(const char* name, platform::HostEntry* out);
};

// Where network start-up learns about the host: its name and addresses, and
// the adapter list.
struct NetworkLookup {
    HostLookup host;
    platform::AdapterListStatus (*readAdapters)(std::vector<platform::Adapter>* out);
};

// The system's own answers.
NetworkLookup SystemNetwork();

// Builds the variable table, creates the data and flight-plan mutexes
// (through services.newMutex), binds the monitor socket, starts the receiver
// and monitor threads and opens the broadcast socket, where PlanLink says. 0 on success, kInitUdpNoAdapter,
// kMonitorBindFailed when the monitor port is taken (another copy of the
// program, most likely), -1 on other failures.
constexpr int kMonitorBindFailed = -3;
// The two threads are started through `threads`, which can stop them; the
// link keeps `services` (linkServices) for as long as it runs.
int InitUdp(ThreadOwner& threads, const LinkServices& services, int monitorPort, int nodeNumber, int versionMajor,
            int versionMinor, const NetworkKeywords& keywords = {}, const NetworkLookup& lookup = SystemNetwork());

// Reads the host name and chooses the bound and announced addresses from its
// address list, writing the start-up lines about them; fills hostName,
// boundIp and selectedIp (never empty afterwards).
void FindHostAddress(const HostLookup& lookup);

// The start-up lines about the adapter list and the broadcast address the
// plan chose (standard output, and the log for some).
void ReportBroadcast(const LinkPlan& plan);
