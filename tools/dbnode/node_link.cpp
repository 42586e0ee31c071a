#include "tools/dbnode/node_link.h"

#include <cerrno>
#include <cstring>

#include "platform/net.h"
#include "platform/netns.h"

namespace dbnode {

bool InTestNetworkNamespace() { return platform::InTestNetworkNamespace(); }

namespace {

int OpenBound(std::uint32_t address, int port, std::string* error) {
    const platform::SocketHandle s = platform::OpenUdpSocket();
    if (s == platform::kInvalidSocket || !platform::SetNonBlocking(s)) {
        *error = std::string("socket: ") + std::strerror(errno);
        if (s != platform::kInvalidSocket) platform::CloseSocket(s);
        return -1;
    }
    // No address reuse: a second node on the same ports must fail to start
    // rather than share the client's requests.
    if (!platform::BindUdp(s, platform::Ipv4Endpoint{address, static_cast<std::uint16_t>(port)})) {
        *error = "bind port " + std::to_string(port) + ": " + std::strerror(errno);
        platform::CloseSocket(s);
        return -1;
    }
    return s;
}

}  // namespace

bool OpenNodeSockets(const std::string& address, int dataPort, int requestPort, NodeSockets* sockets,
                     std::string* error) {
    std::uint32_t parsed = 0;
    if (!platform::ParseIpv4(address.c_str(), &parsed) || !IsTestAddress(parsed)) {
        *error = "the node's address must be a loopback or private address: " + address;
        return false;
    }
    // Any address, so that broadcasts reach it; the namespace check keeps
    // that to the test's own links.
    sockets->request = OpenBound(0, requestPort, error);
    if (sockets->request < 0) return false;
    sockets->data = OpenBound(parsed, dataPort, error);
    return sockets->data >= 0;
}

bool SendOutgoing(const NodeSockets& sockets, const Outgoing& out) {
    if (!IsTestAddress(out.to.address)) return false;
    const long n = platform::SendTo(sockets.data, out.bytes.data(), out.bytes.size(),
                                    platform::Ipv4Endpoint{out.to.address, out.to.port});
    return n == static_cast<long>(out.bytes.size());
}

long ReadDatagram(int socket, unsigned char* buffer, std::size_t capacity) {
    return platform::ReceiveFrom(socket, buffer, capacity);
}

}  // namespace dbnode
