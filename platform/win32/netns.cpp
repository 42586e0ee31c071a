#include "platform/netns.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <memory>
#include <new>

namespace platform {
namespace {

// The system's table or list into a buffer of the size it asks for; null
// when it has nothing (`*empty` then says whether that is "no data").
template <typename Read>
std::unique_ptr<unsigned char[]> ReadSized(Read read, bool* empty) {
    ULONG size = 0;
    const DWORD first = read(nullptr, &size);
    *empty = first == ERROR_NO_DATA;
    if (first != ERROR_BUFFER_OVERFLOW && first != ERROR_INSUFFICIENT_BUFFER) return nullptr;
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[size]);
    if (!buffer || read(buffer.get(), &size) != NO_ERROR) return nullptr;
    return buffer;
}

bool PrivateOrNone(const char* dotted) {
    const unsigned long a = ntohl(inet_addr(dotted));
    return a == 0 || IsPrivateIpv4(a);
}

}  // namespace

// What Win32 shows of such a namespace: no default route, and no adapter
// with a gateway or an address outside the private ranges. Loopback alone
// has no adapter data at all.
bool InTestNetworkNamespace() {
    bool empty = false;
    auto routes = ReadSized([](unsigned char* b, ULONG* n) {
        return GetIpForwardTable(reinterpret_cast<MIB_IPFORWARDTABLE*>(b), n, FALSE);
    }, &empty);
    if (!routes && !empty) return false;
    if (routes) {
        const auto* table = reinterpret_cast<const MIB_IPFORWARDTABLE*>(routes.get());
        for (DWORD i = 0; i < table->dwNumEntries; ++i) {
            if (table->table[i].dwForwardDest == 0 && table->table[i].dwForwardMask == 0) return false;
        }
    }
    auto adapters = ReadSized([](unsigned char* b, ULONG* n) {
        return GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(b), n);
    }, &empty);
    if (!adapters) return empty;
    for (auto* a = reinterpret_cast<const IP_ADAPTER_INFO*>(adapters.get()); a != nullptr; a = a->Next) {
        for (const IP_ADDR_STRING* g = &a->GatewayList; g != nullptr; g = g->Next) {
            if (ntohl(inet_addr(g->IpAddress.String)) != 0) return false;
        }
        for (const IP_ADDR_STRING* p = &a->IpAddressList; p != nullptr; p = p->Next) {
            if (!PrivateOrNone(p->IpAddress.String)) return false;
        }
    }
    return true;
}

}  // namespace platform
