// UDP sockets, host name and addresses, and the adapter list.
// Addresses are IPv4 in host byte order unless a name says otherwise.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

using SocketHandle = int;
constexpr SocketHandle kInvalidSocket = -1;

struct Ipv4Endpoint {
    std::uint32_t address = 0;  // host byte order
    std::uint16_t port = 0;     // host byte order
};

SocketHandle OpenUdpSocket();                       // kInvalidSocket on failure
bool BindUdp(SocketHandle s, const Ipv4Endpoint& local);
bool SetBroadcast(SocketHandle s, std::int32_t value);  // socket-level broadcast option
// Returns the number of bytes sent, or -1 on error.
long SendTo(SocketHandle s, const void* data, std::size_t length, const Ipv4Endpoint& to);
// Blocks for one datagram. Returns its length (truncated to capacity), or -1 on
// error (also when a receive timeout set on the socket ran out). The sender's
// address goes to `from` when given.
long ReceiveFrom(SocketHandle s, void* buffer, std::size_t capacity, Ipv4Endpoint* from = nullptr);
// Asks for a receive buffer of `bytes`, beyond the system's ordinary cap when
// the process may; returns the size in effect afterwards, -1 on error.
long SetReceiveBufferSize(SocketHandle s, long bytes);
// Makes receives on `s` return -1 at once when nothing is waiting.
bool SetNonBlocking(SocketHandle s);
void CloseSocket(SocketHandle s);

// True when loopback is the only network interface (a private network
// namespace).
bool OnlyLoopbackInterface();

// Host name into buf; false on failure, buf then left as it was.
bool GetHostName(char* buf, std::size_t size);

struct HostEntry {
    std::string officialName;
    std::vector<std::string> addresses;  // dotted IPv4 texts, in resolver order
};
bool ResolveHostName(const char* name, HostEntry* out);
// The host's own name and addresses, as Windows answers gethostbyname for it:
// the official name from the resolver when it answers (else `name`), and the
// IPv4 addresses of the adapters in adapter order, loopback only when it is
// the only one. The resolver's addresses are used only when the adapters give
// none. false only when neither gives any address.
bool ResolveOwnHostName(const char* name, HostEntry* out);

struct Adapter {
    std::string name;         // the system's name (interface name, AdapterName)
    std::string description;  // interface name on Linux, Description on Windows
    std::string address;      // dotted IPv4 text of its first address
    std::string mask;         // dotted IPv4 text of that address's mask
    std::vector<std::string> addresses;  // every IPv4 address, dotted; the first is `address`
};
// Adapters with an IPv4 address, in system order. Loopback is listed only
// when it is the only such interface. false when the list cannot be read.
bool GetAdapterList(std::vector<Adapter>* out);

// Dotted text to address (host order); false when the text is not an IPv4 address.
bool ParseIpv4(const char* text, std::uint32_t* out);
std::string FormatIpv4(std::uint32_t address);

}  // namespace platform
