// UDP sockets, host name and addresses, and the adapter list.
// Addresses are IPv4 in host byte order unless a name says otherwise.
#pragma once
#include "platform/ipv4.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

#ifdef _WIN32
using SocketHandle = std::uintptr_t;  // Winsock's SOCKET: as wide as a pointer
constexpr SocketHandle kInvalidSocket = ~SocketHandle{0};
#else
using SocketHandle = int;
constexpr SocketHandle kInvalidSocket = -1;
#endif

// Starts the sockets library with the version word asked for (Winsock's
// WSAStartup); nothing to do on POSIX. Needed before any other call here.
bool StartSockets(std::uint16_t versionWord);

struct Ipv4Endpoint {
    std::uint32_t address = 0;  // host byte order
    std::uint16_t port = 0;     // host byte order
};

SocketHandle OpenUdpSocket();                       // kInvalidSocket on failure
bool BindUdp(SocketHandle s, const Ipv4Endpoint& local);
bool SetBroadcast(SocketHandle s, std::int32_t value);  // socket-level broadcast option
// Returns the number of bytes sent, or -1 on error.
long SendTo(SocketHandle s, const void* data, std::size_t length, const Ipv4Endpoint& to);
// Blocks for one datagram. Returns its length (truncated to capacity: a
// datagram longer than the buffer comes back cut on every system), or -1 on
// error (also when a receive timeout set on the socket ran out). The sender's
// address goes to `from` when given.
long ReceiveFrom(SocketHandle s, void* buffer, std::size_t capacity, Ipv4Endpoint* from = nullptr);
// Asks for a receive buffer of `bytes`, beyond the system's ordinary cap when
// the process may; returns the size in effect afterwards, -1 on error.
long SetReceiveBufferSize(SocketHandle s, long bytes);
// Makes receives on `s` give up with -1 after `milliseconds` (0: never).
bool SetReceiveTimeout(SocketHandle s, int milliseconds);
// Makes receives on `s` return -1 at once when nothing is waiting.
bool SetNonBlocking(SocketHandle s);
void CloseSocket(SocketHandle s);
// Ends a ReceiveFrom that another thread is blocked in on `s` (it returns at
// once, with 0 or -1), so that thread can be stopped and joined; `s` is then
// only fit to be closed.
void InterruptReceive(SocketHandle s);

// A socket option as plain numbers (level 0: none).
struct SocketOption {
    int level = 0;
    int name = 0;
    int value = 0;
};
// What makes a bound port the program's alone. Windows lets a second
// program bind a port in use unless the first set SO_EXCLUSIVEADDRUSE;
// POSIX refuses that second bind anyway, so there it is no option at all.
// BindUdp sets it before binding.
SocketOption ExclusivePortOption();
// What a listening TCP socket sets before its bind: the exclusive option on
// Windows (never SO_REUSEADDR, which there shares the port); SO_REUSEADDR on
// POSIX, where it only lets a restart bind over connections in TIME_WAIT.
SocketOption ListenerPortOption();
// The option's current value, -1 when it cannot be read.
long GetSocketOption(SocketHandle s, int level, int name);

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
// A resolver's answer, from the fields of its hostent, where `ipv4` says it
// holds 4-byte IPv4 addresses (in network order); false otherwise.
bool CopyHostEntry(bool ipv4, const char* officialName, char* const* addresses, HostEntry* out);
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

// Reading the adapter list the way the system's interface allows to fail:
// a first buffer that cannot be allocated, a larger one asked for that
// cannot be allocated, or the read itself failing (also: no adapter).
enum class AdapterListStatus { Ok, NoFirstBuffer, NoLargerBuffer, ReadFailed };
AdapterListStatus ReadAdapterList(std::vector<Adapter>* out);

}  // namespace platform
