#include "tools/dbnode/node_link.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace dbnode {

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

namespace {

int OpenBound(std::uint32_t address, int port, std::string* error) {
    const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s < 0) {
        *error = std::string("socket: ") + std::strerror(errno);
        return -1;
    }
    // No address reuse: a second node on the same ports must fail to start
    // rather than share the client's requests.
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    local.sin_addr.s_addr = htonl(address);
    if (::bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        *error = "bind port " + std::to_string(port) + ": " + std::strerror(errno);
        ::close(s);
        return -1;
    }
    return s;
}

}  // namespace

bool OpenNodeSockets(const std::string& address, int dataPort, int requestPort, NodeSockets* sockets,
                     std::string* error) {
    in_addr parsed{};
    if (::inet_pton(AF_INET, address.c_str(), &parsed) != 1 || (ntohl(parsed.s_addr) >> 24) != 127) {
        *error = "the node's address must be a loopback address: " + address;
        return false;
    }
    // Any address, so that broadcasts reach it; the namespace check keeps
    // that to loopback.
    sockets->request = OpenBound(INADDR_ANY, requestPort, error);
    if (sockets->request < 0) return false;
    sockets->data = OpenBound(ntohl(parsed.s_addr), dataPort, error);
    return sockets->data >= 0;
}

bool SendOutgoing(const NodeSockets& sockets, const Outgoing& out) {
    if ((out.to.address >> 24) != 127) return false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(out.to.port);
    to.sin_addr.s_addr = htonl(out.to.address);
    const ssize_t n = ::sendto(sockets.data, out.bytes.data(), out.bytes.size(), 0,
                               reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return n == static_cast<ssize_t>(out.bytes.size());
}

long ReadDatagram(int socket, unsigned char* buffer, std::size_t capacity) {
    const ssize_t n = ::recv(socket, buffer, capacity, 0);
    return n < 0 ? -1 : static_cast<long>(n);
}

}  // namespace dbnode
