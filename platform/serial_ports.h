// The serial ports a board may be on, for "Find boards": the system's own
// list plus the paths in ORV_SERIAL_PORTS (unusual adapters, test rigs),
// colon-separated on POSIX, semicolon-separated on Windows.
#pragma once
#include <string>
#include <vector>

namespace platform {

// Each port once, in a stable order; nothing is opened.
std::vector<std::string> ListSerialPorts();

// The variable's paths, split at `separator`, empty entries dropped.
std::vector<std::string> SplitPortList(const char* text, char separator);

}  // namespace platform
