#include "platform/ipv4.h"

#include <cstdio>

namespace platform {

// The rules of inet_pton: a part is one to three digits, "0" alone or no
// leading zero, at most 255; four parts, separated by single dots.
bool ParseIpv4(const char* text, std::uint32_t* out) {
    if (text == nullptr) return false;
    std::uint32_t address = 0;
    unsigned part = 0;
    int parts = 0;
    bool inPart = false;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p >= '0' && *p <= '9') {
            if (inPart && part == 0) return false;  // a leading zero
            part = part * 10 + static_cast<unsigned>(*p - '0');
            if (part > 255) return false;
            if (!inPart && ++parts > 4) return false;
            inPart = true;
        } else if (*p == '.' && inPart && parts < 4) {
            address = (address << 8) | part;
            part = 0;
            inPart = false;
        } else {
            return false;
        }
    }
    if (parts != 4 || !inPart) return false;
    *out = (address << 8) | part;
    return true;
}

std::string FormatIpv4(std::uint32_t address) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", (address >> 24) & 0xFFu, (address >> 16) & 0xFFu,
                  (address >> 8) & 0xFFu, address & 0xFFu);
    return buf;
}

bool IsPrivateIpv4(std::uint32_t a) {
    return (a >> 24) == 10 || (a >> 20) == ((172u << 4) | 1u) || (a >> 16) == ((192u << 8) | 168u);
}

}  // namespace platform
