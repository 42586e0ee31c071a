// Winsock 2 and the IP Helper adapter list.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <windows.h>
#include <mswsock.h>

#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "platform/net.h"

static_assert(std::is_same_v<platform::SocketHandle, SOCKET>);
static_assert(platform::kInvalidSocket == INVALID_SOCKET);

namespace platform {
namespace {

// The size of one adapter record on the 32-bit systems the program first
// ran on: the first read nearly always asks for more.
constexpr ULONG kFirstAdapterBufferBytes = 648;

sockaddr_in ToSockaddr(const Ipv4Endpoint& e) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(e.port);
    sa.sin_addr.s_addr = htonl(e.address);
    return sa;
}

int ClampLength(std::size_t length) {
    return length > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(length);
}

bool FillHostEntry(const hostent* h, HostEntry* out) {
    return h != nullptr &&
           CopyHostEntry(h->h_addrtype == AF_INET && h->h_length == 4, h->h_name, h->h_addr_list, out);
}

}  // namespace

bool StartSockets(std::uint16_t versionWord) {
    WSADATA data;
    return WSAStartup(versionWord, &data) == 0;
}

SocketHandle OpenUdpSocket() {
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) return kInvalidSocket;
    // Winsock fails the next receive with WSAECONNRESET when an earlier send
    // met a closed port; a POSIX socket that is not connected never does, and
    // the receiver must not take a peer's restart for a socket failure.
    BOOL report = FALSE;
    DWORD returned = 0;
    WSAIoctl(s, SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned, nullptr, nullptr);
    // Sockets are not inherited by child processes.
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    return s;
}

SocketOption ExclusivePortOption() { return SocketOption{SOL_SOCKET, SO_EXCLUSIVEADDRUSE, 1}; }

SocketOption ListenerPortOption() { return ExclusivePortOption(); }

long GetSocketOption(SocketHandle s, int level, int name) {
    int value = 0;
    int size = sizeof value;
    if (getsockopt(s, level, name, reinterpret_cast<char*>(&value), &size) != 0) return -1;
    return value;
}

bool BindUdp(SocketHandle s, const Ipv4Endpoint& local) {
    // No other program may bind over the port and take the node's datagrams.
    const SocketOption exclusive = ExclusivePortOption();
    if (setsockopt(s, exclusive.level, exclusive.name, reinterpret_cast<const char*>(&exclusive.value),
                   sizeof exclusive.value) != 0)
        return false;
    const sockaddr_in sa = ToSockaddr(local);
    return bind(s, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
}

bool SetBroadcast(SocketHandle s, std::int32_t value) {
    const int v = value;
    return setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&v), sizeof v) == 0;
}

long SendTo(SocketHandle s, const void* data, std::size_t length, const Ipv4Endpoint& to) {
    const sockaddr_in sa = ToSockaddr(to);
    const int n = sendto(s, static_cast<const char*>(data), ClampLength(length), 0,
                         reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
    return n == SOCKET_ERROR ? -1 : n;
}

long ReceiveFrom(SocketHandle s, void* buffer, std::size_t capacity, Ipv4Endpoint* from) {
    sockaddr_in sa{};
    int saLength = sizeof sa;
    const int size = ClampLength(capacity);
    int n = recvfrom(s, static_cast<char*>(buffer), size, 0, reinterpret_cast<sockaddr*>(&sa),
                     &saLength);
    if (n == SOCKET_ERROR) {
        // A datagram longer than the buffer: Winsock fills the buffer and
        // fails; POSIX returns the cut datagram. Callers see the POSIX way.
        if (WSAGetLastError() != WSAEMSGSIZE) return -1;
        n = size;
    }
    if (from != nullptr) {
        *from = Ipv4Endpoint{};
        if (saLength >= static_cast<int>(sizeof sa) && sa.sin_family == AF_INET) {
            from->address = ntohl(sa.sin_addr.s_addr);
            from->port = ntohs(sa.sin_port);
        }
    }
    return n;
}

long SetReceiveBufferSize(SocketHandle s, long bytes) {
    const int wanted = bytes > 0x3FFFFFFF ? 0x3FFFFFFF : static_cast<int>(bytes);
    setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&wanted), sizeof wanted);
    int actual = 0;
    int length = sizeof actual;
    if (getsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&actual), &length) != 0) {
        return -1;
    }
    return actual;
}

bool SetReceiveTimeout(SocketHandle s, int milliseconds) {
    const DWORD ms = milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0;
    return setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms) == 0;
}

bool SetNonBlocking(SocketHandle s) {
    u_long on = 1;
    return ioctlsocket(s, FIONBIO, &on) == 0;
}

void CloseSocket(SocketHandle s) {
    if (s != kInvalidSocket) closesocket(s);
}

void InterruptReceive(SocketHandle s) {
    // Winsock's shutdown does not wake a blocked recvfrom, and closing here
    // would let the handle be reused before the owner closes it: an empty
    // datagram to the socket's own address wakes it instead.
    if (s == kInvalidSocket) return;
    sockaddr_in self{};
    int length = sizeof self;
    if (getsockname(s, reinterpret_cast<sockaddr*>(&self), &length) != 0) return;
    if (self.sin_addr.s_addr == htonl(INADDR_ANY)) self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const SOCKET waker = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (waker == INVALID_SOCKET) return;
    sendto(waker, "", 0, 0, reinterpret_cast<const sockaddr*>(&self), sizeof self);
    closesocket(waker);
}

bool OnlyLoopbackInterface() {
    // The adapter list never shows loopback: with nothing else it has no data.
    ULONG size = 0;
    return GetAdaptersInfo(nullptr, &size) == ERROR_NO_DATA;
}

bool GetHostName(char* buf, std::size_t size) {
    if (size == 0) return false;
    std::unique_ptr<char[]> name(new (std::nothrow) char[size]());
    if (!name || gethostname(name.get(), ClampLength(size)) != 0) return false;
    name[size - 1] = '\0';
    std::memcpy(buf, name.get(), size);
    return true;
}

bool ResolveHostName(const char* name, HostEntry* out) {
    // gethostbyname keeps the resolver's order (getaddrinfo may sort).
    return FillHostEntry(gethostbyname(name), out);
}

bool ResolveOwnHostName(const char* name, HostEntry* out) {
    // Windows answers the host's own name from its adapters itself.
    return FillHostEntry(gethostbyname(name), out);
}

AdapterListStatus ReadAdapterList(std::vector<Adapter>* out) {
    out->clear();
    ULONG size = kFirstAdapterBufferBytes;
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[size]);
    if (!buffer) return AdapterListStatus::NoFirstBuffer;
    if (GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.get()), &size) ==
        ERROR_BUFFER_OVERFLOW) {
        buffer.reset(new (std::nothrow) unsigned char[size]);
        if (!buffer) return AdapterListStatus::NoLargerBuffer;
    }
    const auto* list = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.get());
    if (GetAdaptersInfo(const_cast<IP_ADAPTER_INFO*>(list), &size) != NO_ERROR) {
        return AdapterListStatus::ReadFailed;
    }
    for (const IP_ADAPTER_INFO* a = list; a != nullptr; a = a->Next) {
        Adapter adapter;
        adapter.name = a->AdapterName;
        adapter.description = a->Description;
        adapter.address = a->IpAddressList.IpAddress.String;
        adapter.mask = a->IpAddressList.IpMask.String;
        for (const IP_ADDR_STRING* p = &a->IpAddressList; p != nullptr; p = p->Next) {
            adapter.addresses.push_back(p->IpAddress.String);
        }
        out->push_back(adapter);
    }
    return AdapterListStatus::Ok;
}

bool GetAdapterList(std::vector<Adapter>* out) {
    return ReadAdapterList(out) == AdapterListStatus::Ok;
}

}  // namespace platform
