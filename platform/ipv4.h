// IPv4 addresses as dotted text, and the private ranges: plain arithmetic,
// the same on every system.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

// Dotted text to address (host order): exactly four decimal parts of 0 to
// 255, without leading zeros; false otherwise.
bool ParseIpv4(const char* text, std::uint32_t* out);
std::string FormatIpv4(std::uint32_t address);

// 10.0.0.0/8, 172.16.0.0/12 or 192.168.0.0/16 (host byte order).
bool IsPrivateIpv4(std::uint32_t address);

}  // namespace platform
