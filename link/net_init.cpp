#include "link/net_init.h"
#include "link/net_stop.h"

#include <cstdarg>
#include <cstdio>

#include "link/address_choice.h"
#include "link/flight_plan_buffer.h"
#include "link/link_state.h"
#include "link/monitor.h"
#include "link/receiver.h"
#include "link/transmit.h"
#include "link/var_table.h"
#include "base/log.h"

namespace {

// A line for standard output only, and one for standard output and the log.
void Print(const char* format, ...) __attribute__((format(printf, 1, 2)));
void PrintAndLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

void Print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
}

void PrintAndLog(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::fputs(line, stdout);
    WriteLog(line);
}

template <std::size_t N>
void CopyText(char (&to)[N], const std::string& from) {
    std::snprintf(to, N, "%s", from.c_str());
}

// Opens the broadcast socket and publishes it with the broadcast address:
// the monitor thread is already running and reads both.
int InitBroadcast(const std::optional<platform::Ipv4Endpoint>& address) {
    const platform::SocketHandle s = platform::OpenUdpSocket();
    if (s == platform::kInvalidSocket) {
        WriteLogLevel(4, "InitBroadcast() - Broadcast Socket Open Failure\n");
        return -1;
    }
    platform::SetBroadcast(s, 32);
    broadcastTarget.socket = s;
    broadcastTarget.addressValid = address.has_value();
    if (address) broadcastTarget.address = *address;
    broadcastReady.store(true, std::memory_order_release);
    return 0;
}

}  // namespace

void FindHostAddress(const HostLookup& lookup) {
    // On failure the buffer keeps "NotInitialized" for the line below.
    if (!lookup.readHostName(hostName, sizeof hostName)) {
        WriteLogLevel(4, "InitUdp() - gethostname failure");
    }
    WriteLogf("Hostname: %s\n", hostName);

    platform::HostEntry host;
    const bool resolved = lookup.resolve(hostName, &host);
    if (!resolved) {
        WriteLog("InitUdp() - gethostbyname() failure\n");
        host.addresses.clear();
    } else {
        WriteLogLevelf(3, "Official name: %s\n", host.officialName.c_str());
    }
    const HostAddressChoice choice = ChooseHostAddresses(host.addresses);
    for (std::size_t i = 0; i < host.addresses.size(); ++i) {
        WriteLogLevelf(3, "HostIP: %s\n", host.addresses[i].c_str());
        if (choice.selected[i]) WriteLogf("Selected IP: %s\n", host.addresses[i].c_str());
    }
    CopyText(boundIp, choice.boundIp);
    CopyText(selectedIp, choice.selectedIp);
}

void ReportBroadcast(const LinkPlan& plan) {
    switch (plan.adapterStatus) {
        case platform::AdapterListStatus::Ok:
            break;
        case platform::AdapterListStatus::NoFirstBuffer:
            Print("Unable to get memeory for adapter memory (1).\n");
            PrintAndLog("Error IB-1\n");
            return;
        case platform::AdapterListStatus::NoLargerBuffer:
            Print("Unable to get memeory for adapter memory (2).\n");
            PrintAndLog("Error IB-2\n");
            return;
        case platform::AdapterListStatus::ReadFailed:
            Print("Can't get adapter information.\n");
            PrintAndLog("Error IB-3\n");
            return;
    }
    for (const platform::Adapter& a : plan.adapters) {
        PrintAndLog("   Desc: \t%s\n", a.description.c_str());
        PrintAndLog("     IP: \t%s\n", a.address.c_str());
        PrintAndLog("   Mask: \t%s\n", a.mask.c_str());
    }
    if (!plan.broadcast) {
        Print("Can't get adapter information.\n");
        PrintAndLog("Error IB-3\n");
        return;
    }
    Print("    Net: \t%s\n\n", platform::FormatIpv4(plan.broadcast->network).c_str());
    WriteLog("Network successfully initialized.\n");
}

NetworkLookup SystemNetwork() {
    return {{&platform::GetHostName, &platform::ResolveOwnHostName}, &platform::ReadAdapterList};
}

int InitUdp(ThreadOwner& threads, const LinkServices& services, int port, int node, int major, int minor,
            const NetworkKeywords& keywords, const NetworkLookup& lookup) {
    std::vector<platform::Adapter> adapters;
    const platform::AdapterListStatus status = lookup.readAdapters(&adapters);
    const LinkPlan plan = PlanLink(keywords, status, std::move(adapters));
    // A named adapter that is not there stops start-up before anything is
    // opened: falling back to another would broadcast where no node listens.
    if (plan.adapterMissing) return kInitUdpNoAdapter;

    linkServices = services;
    flightPlanBuffer[0] = flightPlanBuffer[1] = flightPlanBuffer[2] = flightPlanBuffer[3] = 0;
    versionMajor = major;
    versionMinor = minor;

    for (NodeStatus& n : nodeStatus) {
        n.missedPeriods.store(0, std::memory_order_relaxed);
        n.status = 0;
        n.shortName[0] = '\0';
    }

    nodeNumber = node;
    const int count = InitDB();  // also publishes StdVarCount
    WriteLogf("InitUdp() - StdVarCount: %d  Allowed: %d\n", count, kStdVarCapacity);

    monitorPort = port;

    // Created once per process: a later start of the link keeps them.
    if (DataMutex == nullptr) DataMutex = services.newMutex("DATAMUTEX");
    WriteLog("InitUdp() - DataMutex has been created\n");
    if (DataMutex == nullptr) {
        WriteLog("InitUDP() - failure to create data mutex\n");
        return -1;
    }
    if (FlightMutex == nullptr) FlightMutex = services.newMutex("FLIGHTMUTEX");
    if (FlightMutex == nullptr) {
        WriteLog("InitUDP() - failure to create flight mutex\n");
        return -1;
    }

    // Version 9.9 asks for the newest the library has; the answer changes nothing.
    platform::StartSockets(0x0909);
    FindHostAddress(lookup.host);
    if (plan.chosen) {
        const platform::Adapter& chosen = *plan.chosen;
        CopyText(boundIp, chosen.address);
        CopyText(selectedIp, chosen.address);
        WriteLogf("Adapter chosen by parameter file: %s %s/%s\n", chosen.name.c_str(), chosen.address.c_str(),
                  chosen.mask.c_str());
    }
    WriteLogLevelf(3, "Monitor Port is %d\n", monitorPort);

    monitorSocket = platform::OpenUdpSocket();
    if (monitorSocket == platform::kInvalidSocket) {
        WriteLog("InitUdp() - Error creating monitor socket.\n");
        return -1;
    }
    // Room for a burst while the receiver thread is held up; an undersized
    // buffer only risks drops, so the outcome is not checked.
    platform::SetReceiveBufferSize(monitorSocket, kMonitorSocketBufferBytes);
    platform::Ipv4Endpoint local{};
    if (!platform::ParseIpv4(boundIp, &local.address)) {
        WriteLog("InitUdp() - Bad address\n");
        return -1;
    }
    local.port = static_cast<std::uint16_t>(monitorPort);
    if (!platform::BindUdp(monitorSocket, local)) {
        WriteLog("InitUdp() - Monitor socket bind error\n");
        return kMonitorBindFailed;
    }

    threads.Start(ReceiverThread, [] { platform::InterruptReceive(monitorSocket); });
    threads.Start(Monitor);

    ReportBroadcast(plan);
    if (keywords.dbNode)
        WriteLogf("DB node chosen by parameter file: %s\n", platform::FormatIpv4(*keywords.dbNode).c_str());
    if (InitBroadcast(plan.requestsTo) != 0) return -1;

    WriteLogf("UDP services ver. %d.%03d successfully initialized\n", versionMajor, versionMinor);
    return 0;
}

void StopUdp() {
    linkConnected.store(false, std::memory_order_release);
    broadcastReady.store(false, std::memory_order_release);
    platform::CloseSocket(monitorSocket);
    monitorSocket = platform::kInvalidSocket;
    platform::CloseSocket(broadcastTarget.socket);
    broadcastTarget = BroadcastTarget{platform::kInvalidSocket, {}, false};
    DbLinkRecord none{};
    none.socket = platform::kInvalidSocket;
    platform::CloseSocket(InstallDbLink(none));
}
