// Whether a request is meant for this program: its Host names the program
// and, for a browser's WebSocket, its Origin is the program's own page. A
// page from anywhere else, or a hostile name rebound to this PC, is refused
// before it can reach the panels. Pure, so every case is tested as a table.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace web {

// The names a request may use for the program.
struct HostNames {
    std::uint32_t address = 0;  // bound address, host byte order
    std::uint16_t port = 0;
    std::vector<std::string> names;  // `webname` values, lower case
};

// A header as received: how often it came, and its first value.
struct HeaderSeen {
    int count = 0;
    std::string_view value;
};

enum class Door {
    Open,           // the program's own
    NoHost,         // no Host, or more than one: 400
    ForeignHost,    // 403
    ForeignOrigin,  // a WebSocket from another site's page: 403
};

// Host on every request; Origin only when `upgrade` (a WebSocket handshake).
// A handshake without Origin comes from a tool, not a browser, and passes.
Door CheckDoor(const HostNames& names, HeaderSeen host, HeaderSeen origin, bool upgrade);

// A `webname` value: a DNS name or IPv4 text (letters, digits, '-' and '.'),
// at most 253 characters, no empty label, no label starting or ending with '-'.
bool ValidWebName(std::string_view name);

}  // namespace web
