// The browsers allowed to send commands: the `webcontrol` addresses.
#pragma once
#include <cstdint>
#include <vector>

namespace web {

struct AllowedNet {
    std::uint32_t address;  // host byte order
    int bits;               // prefix length, 0 to 32
};

// "A.B.C.D" (one host) or "A.B.C.D/BITS"; false when malformed.
bool ParseAllowedNet(const char* text, AllowedNet* out);

// Whether `address` is in one of the nets. An empty list allows nobody:
// loopback is no exception.
bool Allowed(const std::vector<AllowedNet>& nets, std::uint32_t address);

}  // namespace web
