// Whether this process's network namespace is one a test made for itself.
#pragma once
#include "platform/ipv4.h"

namespace platform {

// True when nothing sent from this namespace can reach a real network: no
// default route, every interface other than loopback is a veth, and every
// IPv4 address is loopback or private. Loopback alone qualifies.
bool InTestNetworkNamespace();

}  // namespace platform
