#include "platform/netns.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <ifaddrs.h>
#include <linux/ethtool.h>
#include <linux/sockios.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {
namespace {

bool IsVeth(int probe, const char* name) {
    ethtool_drvinfo info{};
    info.cmd = ETHTOOL_GDRVINFO;
    ifreq request{};
    std::snprintf(request.ifr_name, sizeof request.ifr_name, "%s", name);
    request.ifr_data = reinterpret_cast<char*>(&info);
    return ioctl(probe, SIOCETHTOOL, &request) == 0 && std::strcmp(info.driver, "veth") == 0;
}

// /proc/net follows the reading process's namespace (unlike /sys/class/net,
// which shows the namespace that mounted sysfs). A table that cannot be read
// counts as holding a default route.
bool HasDefaultRoute() {
    std::FILE* v4 = std::fopen("/proc/net/route", "r");
    if (v4 == nullptr) return true;
    char line[512];
    bool found = false;
    if (std::fgets(line, sizeof line, v4) == nullptr) {  // not even the heading
        std::fclose(v4);
        return true;
    }
    while (!found && std::fgets(line, sizeof line, v4) != nullptr) {
        char name[64];
        unsigned destination = 1, gateway = 0, flags = 0, refs = 0, use = 0, metric = 0, mask = 1;
        if (std::sscanf(line, "%63s %x %x %x %u %u %u %x", name, &destination, &gateway, &flags, &refs,
                        &use, &metric, &mask) == 8) {
            found = destination == 0 && mask == 0;
        }
    }
    std::fclose(v4);
    if (found) return true;
    // IPv6 has no default route unless a test adds one; where the table is
    // missing IPv6 is off.
    std::FILE* v6 = std::fopen("/proc/net/ipv6_route", "r");
    if (v6 == nullptr) return false;
    while (!found && std::fgets(line, sizeof line, v6) != nullptr) {
        found = std::strncmp(line, "00000000000000000000000000000000 00 ", 36) == 0 &&
                std::strstr(line, " lo") == nullptr;
    }
    std::fclose(v6);
    return found;
}

}  // namespace

bool InTestNetworkNamespace() {
    if (HasDefaultRoute()) return false;
    struct if_nameindex* names = if_nameindex();
    if (names == nullptr) return false;
    const int probe = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    bool ok = probe >= 0;
    for (struct if_nameindex* p = names; ok && p->if_index != 0 && p->if_name != nullptr; ++p) {
        ok = std::strcmp(p->if_name, "lo") == 0 || IsVeth(probe, p->if_name);
    }
    if_freenameindex(names);
    if (probe >= 0) close(probe);
    ifaddrs* list = nullptr;
    if (!ok || getifaddrs(&list) != 0) return false;
    for (ifaddrs* p = list; ok && p != nullptr; p = p->ifa_next) {
        if (p->ifa_addr == nullptr || p->ifa_addr->sa_family != AF_INET) continue;
        sockaddr_in in{};
        std::memcpy(&in, p->ifa_addr, sizeof in);
        const std::uint32_t a = ntohl(in.sin_addr.s_addr);
        ok = (p->ifa_flags & IFF_LOOPBACK) != 0 ? (a >> 24) == 127 : IsPrivateIpv4(a);
    }
    freeifaddrs(list);
    return ok;
}

}  // namespace platform
