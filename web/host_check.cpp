#include "web/host_check.h"

#include "platform/ipv4.h"

namespace web {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// "name[:port]" or "[v6][:port]"; port -1 when absent, false when malformed.
bool SplitHostPort(std::string_view text, std::string_view* name, long* port) {
    std::size_t end = text.size();
    if (!text.empty() && text.front() == '[') {
        end = text.find(']');
        if (end == std::string_view::npos) return false;
        ++end;
    } else {
        const std::size_t colon = text.rfind(':');
        if (colon != std::string_view::npos) end = colon;
    }
    *name = text.substr(0, end);
    *port = -1;
    if (end == text.size()) return !name->empty();
    if (text[end] != ':') return false;
    const std::string_view digits = text.substr(end + 1);
    if (digits.empty() || digits.size() > 5) return false;
    long value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value > 65535) return false;
    *port = value;
    return !name->empty();
}

bool OwnName(const HostNames& names, std::string_view name) {
    if (SameName(name, platform::FormatIpv4(names.address))) return true;
    for (const std::string& own : names.names)
        if (SameName(name, own)) return true;
    return false;
}

// Host: one of the program's names, with its port or none.
bool OwnHost(const HostNames& names, std::string_view host) {
    std::string_view name;
    long port = 0;
    if (!SplitHostPort(host, &name, &port)) return false;
    return (port < 0 || port == names.port) && OwnName(names, name);
}

// Origin: exactly "http://" and an own name; no port means port 80.
bool OwnOrigin(const HostNames& names, std::string_view origin) {
    constexpr std::string_view kScheme = "http://";
    if (origin.substr(0, kScheme.size()) != kScheme) return false;
    std::string_view name;
    long port = 0;
    if (!SplitHostPort(origin.substr(kScheme.size()), &name, &port)) return false;
    return (port < 0 ? 80 : port) == names.port && OwnName(names, name);
}

}  // namespace

Door CheckDoor(const HostNames& names, HeaderSeen host, HeaderSeen origin, bool upgrade) {
    if (host.count != 1) return Door::NoHost;
    if (!OwnHost(names, host.value)) return Door::ForeignHost;
    if (upgrade && origin.count > 0 && (origin.count > 1 || !OwnOrigin(names, origin.value)))
        return Door::ForeignOrigin;
    return Door::Open;
}

bool ValidWebName(std::string_view name) {
    if (name.empty() || name.size() > 253) return false;
    std::size_t label = 0;  // length of the label so far
    char previous = '.';
    for (const char c : name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (c == '.') {
            if (label == 0 || previous == '-') return false;
            label = 0;
        } else if (c == '-') {
            if (label == 0) return false;
            ++label;
        } else if (letter) {
            ++label;
        } else {
            return false;
        }
        if (label > 63) return false;
        previous = c;
    }
    return label > 0 && previous != '-';
}

}  // namespace web
