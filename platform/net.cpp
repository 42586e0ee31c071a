#include "platform/net.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {
namespace {

sockaddr_in ToSockaddr(const Ipv4Endpoint& e) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(e.port);
    sa.sin_addr.s_addr = htonl(e.address);
    return sa;
}

std::string SockaddrText(const sockaddr* sa) {
    if (sa == nullptr || sa->sa_family != AF_INET) return std::string();
    sockaddr_in in{};
    std::memcpy(&in, sa, sizeof in);
    return FormatIpv4(ntohl(in.sin_addr.s_addr));
}

}  // namespace

SocketHandle OpenUdpSocket() {
    const int s = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    return s < 0 ? kInvalidSocket : s;
}

SocketOption ExclusivePortOption() { return SocketOption{}; }

SocketOption ListenerPortOption() { return SocketOption{SOL_SOCKET, SO_REUSEADDR, 1}; }

long GetSocketOption(SocketHandle s, int level, int name) {
    int value = 0;
    socklen_t size = sizeof value;
    if (getsockopt(s, level, name, &value, &size) != 0) return -1;
    return value;
}

bool BindUdp(SocketHandle s, const Ipv4Endpoint& local) {
    const sockaddr_in sa = ToSockaddr(local);
    return bind(s, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
}

bool SetBroadcast(SocketHandle s, std::int32_t value) {
    const int v = value;
    return setsockopt(s, SOL_SOCKET, SO_BROADCAST, &v, sizeof v) == 0;
}

long SendTo(SocketHandle s, const void* data, std::size_t length, const Ipv4Endpoint& to) {
    const sockaddr_in sa = ToSockaddr(to);
    ssize_t n;
    do {
        n = sendto(s, data, length, 0, reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
    } while (n < 0 && errno == EINTR);
    return n < 0 ? -1 : static_cast<long>(n);
}

long ReceiveFrom(SocketHandle s, void* buffer, std::size_t capacity, Ipv4Endpoint* from) {
    sockaddr_in sa{};
    socklen_t saLength = sizeof sa;
    ssize_t n;
    do {
        saLength = sizeof sa;
        n = recvfrom(s, buffer, capacity, 0, reinterpret_cast<sockaddr*>(&sa), &saLength);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return -1;
    if (from != nullptr) {
        *from = Ipv4Endpoint{};
        if (saLength >= sizeof sa && sa.sin_family == AF_INET) {
            from->address = ntohl(sa.sin_addr.s_addr);
            from->port = ntohs(sa.sin_port);
        }
    }
    return static_cast<long>(n);
}

bool SetNonBlocking(SocketHandle s) {
    const int flags = fcntl(s, F_GETFL, 0);
    return flags >= 0 && fcntl(s, F_SETFL, flags | O_NONBLOCK) == 0;
}

bool OnlyLoopbackInterface() {
    struct if_nameindex* list = if_nameindex();
    if (list == nullptr) return false;
    int count = 0;
    bool onlyLoopback = true;
    for (struct if_nameindex* p = list; p->if_index != 0 && p->if_name != nullptr; ++p) {
        ++count;
        if (std::strcmp(p->if_name, "lo") != 0) onlyLoopback = false;
    }
    if_freenameindex(list);
    return onlyLoopback && count == 1;
}

long SetReceiveBufferSize(SocketHandle s, long bytes) {
    const int wanted = bytes > 0x3FFFFFFF ? 0x3FFFFFFF : static_cast<int>(bytes);
    setsockopt(s, SOL_SOCKET, SO_RCVBUF, &wanted, sizeof wanted);
    int actual = 0;
    socklen_t length = sizeof actual;
    if (getsockopt(s, SOL_SOCKET, SO_RCVBUF, &actual, &length) != 0) return -1;
    // Linux caps SO_RCVBUF at net.core.rmem_max and reports twice what it
    // granted; a privileged process may go beyond the cap.
    if (actual < wanted && setsockopt(s, SOL_SOCKET, SO_RCVBUFFORCE, &wanted, sizeof wanted) == 0 &&
        getsockopt(s, SOL_SOCKET, SO_RCVBUF, &actual, &length) != 0) {
        return -1;
    }
    return actual;
}

void CloseSocket(SocketHandle s) {
    if (s != kInvalidSocket) close(s);
}

void InterruptReceive(SocketHandle s) {
    // Linux wakes a receive blocked on a datagram socket that is shut down.
    if (s != kInvalidSocket) shutdown(s, SHUT_RDWR);
}

bool GetHostName(char* buf, std::size_t size) {
    if (size == 0) return false;
    std::string name(size, '\0');
    if (gethostname(name.data(), size) != 0) return false;
    name[size - 1] = '\0';  // a truncated name is not guaranteed to be terminated
    std::memcpy(buf, name.data(), size);
    return true;
}

bool ResolveHostName(const char* name, HostEntry* out) {
    // gethostbyname_r keeps the resolver's own order; getaddrinfo would sort it.
    std::string scratch(1024, '\0');
    hostent entry{};
    hostent* result = nullptr;
    int herr = 0;
    for (;;) {
        const int rc = gethostbyname_r(name, &entry, scratch.data(), scratch.size(), &result, &herr);
        if (rc == ERANGE && scratch.size() < (1u << 20)) {
            scratch.resize(scratch.size() * 2);
            continue;
        }
        if (rc != 0 || result == nullptr) return false;
        break;
    }
    return CopyHostEntry(result->h_addrtype == AF_INET && result->h_length == 4, result->h_name,
                         result->h_addr_list, out);
}

bool ResolveOwnHostName(const char* name, HostEntry* out) {
    HostEntry resolved;
    const bool answered = ResolveHostName(name, &resolved);
    std::vector<Adapter> adapters;
    std::vector<std::string> addresses;
    if (GetAdapterList(&adapters)) {
        for (const Adapter& a : adapters) addresses.insert(addresses.end(), a.addresses.begin(), a.addresses.end());
    }
    // The resolver would answer 127.0.1.1 from /etc/hosts on many systems,
    // an address no DB node can answer: the adapters come first.
    if (addresses.empty() && answered) addresses = resolved.addresses;
    if (addresses.empty()) return false;
    out->officialName = answered ? resolved.officialName : std::string(name);
    out->addresses = addresses;
    return true;
}

bool GetAdapterList(std::vector<Adapter>* out) {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    std::vector<Adapter> others;
    std::vector<Adapter> loopbacks;
    for (ifaddrs* p = list; p != nullptr; p = p->ifa_next) {
        if (p->ifa_addr == nullptr || p->ifa_addr->sa_family != AF_INET) continue;
        const std::string ifName = p->ifa_name != nullptr ? p->ifa_name : "";
        std::vector<Adapter>& target = (p->ifa_flags & IFF_LOOPBACK) != 0 ? loopbacks : others;
        const std::string address = SockaddrText(p->ifa_addr);
        // The first address of an interface and its mask stand for it; the
        // others are only listed.
        Adapter* known = nullptr;
        for (Adapter& a : target) {
            if (a.name == ifName) known = &a;
        }
        if (known != nullptr) {
            known->addresses.push_back(address);
            continue;
        }
        target.push_back(Adapter{ifName, ifName, address, SockaddrText(p->ifa_netmask), {address}});
    }
    freeifaddrs(list);
    *out = others.empty() ? loopbacks : others;
    return true;
}

}  // namespace platform
