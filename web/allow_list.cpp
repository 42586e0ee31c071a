#include "web/allow_list.h"

#include <cstring>
#include <string>

#include "platform/ipv4.h"

namespace web {

bool ParseAllowedNet(const char* text, AllowedNet* out) {
    const char* slash = std::strchr(text, '/');
    const std::string address = slash != nullptr ? std::string(text, slash) : std::string(text);
    std::uint32_t ip = 0;
    if (!platform::ParseIpv4(address.c_str(), &ip)) return false;
    int bits = 32;
    if (slash != nullptr) {
        const char* digits = slash + 1;
        const std::size_t length = std::strlen(digits);
        if (length == 0 || length > 2) return false;
        bits = 0;
        for (const char* c = digits; *c != '\0'; ++c) {
            if (*c < '0' || *c > '9') return false;
            bits = bits * 10 + (*c - '0');
        }
        if (bits > 32) return false;
    }
    *out = AllowedNet{ip, bits};
    return true;
}

bool Allowed(const std::vector<AllowedNet>& nets, std::uint32_t address) {
    for (const AllowedNet& net : nets) {
        const std::uint32_t mask = net.bits == 0 ? 0 : ~std::uint32_t{0} << (32 - net.bits);
        if ((address & mask) == (net.address & mask)) return true;
    }
    return false;
}

}  // namespace web
