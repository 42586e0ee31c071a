#include "tools/dbnode/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace dbnode {
namespace {

bool Number(const char* text, double low, double high, double* out) {
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || errno != 0 || !std::isfinite(v) || v < low || v > high) return false;
    *out = v;
    return true;
}

bool Port(const char* text, int* out) {
    double v = 0;
    if (!Number(text, 1, 65535, &v) || v != std::trunc(v)) return false;
    *out = static_cast<int>(v);
    return true;
}

bool StartPosition(const char* text, double* start) {
    std::string s(text);
    for (char& ch : s) {
        if (ch == ',') ch = ' ';
    }
    std::istringstream in(s);
    for (int i = 0; i < 5; ++i) {
        if (!(in >> start[i])) return false;
    }
    std::string rest;
    if (in >> rest) return false;
    return std::fabs(start[0]) <= 89 && std::fabs(start[1]) <= 180 && start[3] >= 0 && start[4] >= 0;
}

}  // namespace

const char* UsageText() {
    return "usage: orv-dbnode [options]\n"
           "  --address A        address announced to the client (loopback or private; 127.0.0.1)\n"
           "  --port P           the node's data port (9100)\n"
           "  --request-port P   port of the address requests (9019)\n"
           "  --plan FILE        flight plan sent when a client connects\n"
           "  --serial N         serial of that plan (1)\n"
           "  --speedup X        simulated seconds per real second (1)\n"
           "  --rate HZ          variable updates per second (10)\n"
           "  --keepalive S      seconds between keep-alives (2)\n"
           "  --full-refresh S   seconds between updates carrying every known variable (2)\n"
           "  --pos-every S      seconds between POS lines, 0 for none (1)\n"
           "  --airborne LAT,LON,HDG,ALT,SPD  start airborne, autopilot and holds on\n"
           "  --arm-nav          arm LNAV and VNAV once the client has reset for the plan\n"
           "  --disconnected     report variable 52 (simulator connected) as 0\n"
           "  --script FILE      run the commands of FILE first, then standard input\n"
           "Commands (script file or standard input): send, silent, updates, bad, plan,\n"
           "airborne, armnav, connected, speedup, rate, wait, report, restart, quit.\n"
           "It runs only inside a private network namespace: loopback, and veth interfaces with\n"
           "private addresses and no default route.\n";
}

bool ParseOptions(int argc, const char* const* argv, Options* out, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        const bool hasValue = i + 1 < argc;
        const char* value = hasValue ? argv[i + 1] : "";
        auto bad = [&](const char* what) {
            *error = name + ": " + what;
            return false;
        };
        double v = 0;
        if (name == "--help" || name == "-h") {
            out->help = true;
            continue;
        }
        if (name == "--arm-nav") {
            out->node.armNav = true;
            continue;
        }
        if (name == "--disconnected") {
            out->node.connected = false;
            continue;
        }
        if (!hasValue) return bad("needs a value");
        ++i;
        if (name == "--address") {
            out->node.address = value;
        } else if (name == "--port") {
            if (!Port(value, &out->node.dataPort)) return bad("bad port");
        } else if (name == "--request-port") {
            if (!Port(value, &out->requestPort)) return bad("bad port");
        } else if (name == "--plan") {
            out->node.planFile = value;
        } else if (name == "--serial") {
            if (!Number(value, -2e9, 2e9, &v) || v != std::trunc(v)) return bad("bad serial");
            out->node.planSerial = static_cast<int>(v);
        } else if (name == "--speedup") {
            if (!Number(value, 0.01, 1000, &v)) return bad("expected 0.01 to 1000");
            out->node.speedup = v;
        } else if (name == "--rate") {
            if (!Number(value, 0.1, 1000, &v)) return bad("expected 0.1 to 1000");
            out->node.rateHz = v;
        } else if (name == "--keepalive") {
            if (!Number(value, 0.1, 3600, &v)) return bad("expected seconds");
            out->node.keepAliveSec = v;
        } else if (name == "--full-refresh") {
            if (!Number(value, 0.1, 3600, &v)) return bad("expected seconds");
            out->node.fullRefreshSec = v;
        } else if (name == "--pos-every") {
            if (!Number(value, 0, 3600, &v)) return bad("expected seconds");
            out->node.posEverySec = v;
        } else if (name == "--airborne") {
            if (!StartPosition(value, out->node.start)) return bad("expected LAT,LON,HDG,ALT,SPD");
            out->node.airborne = true;
        } else if (name == "--script") {
            out->scriptFile = value;
        } else {
            *error = "unknown option " + name;
            return false;
        }
    }
    return true;
}

}  // namespace dbnode
