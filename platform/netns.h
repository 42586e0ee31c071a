// Whether this process's network namespace is one a test made for itself.
#pragma once
#include <cstdint>

namespace platform {

// True when nothing sent from this namespace can reach a real network: no
// default route, every interface other than loopback is a veth, and every
// IPv4 address is loopback or private. Loopback alone qualifies.
bool InTestNetworkNamespace();

// 10.0.0.0/8, 172.16.0.0/12 or 192.168.0.0/16 (host byte order).
bool IsPrivateIpv4(std::uint32_t address);

}  // namespace platform
