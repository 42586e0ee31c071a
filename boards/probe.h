// Talking to a board that no session drives, for set-up: is there a board
// on this port and what is its name, and give it a name. Each call opens the
// port for itself (exclusively), drives a set-up session over it for a
// bounded time (boards/session.h) and closes it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/setup_desk.h"
#include "platform/steady_clock.h"

namespace boards {

using platform::SteadyMs;

// Opens `port`, and when a board says hello, what it says.
model::FoundPort ProbePort(const std::string& port);
// Each of `ports` at once; bounded by kProbeMs (plus the opening).
std::vector<model::FoundPort> ProbePorts(const std::vector<std::string>& ports);
// Stores `name` in the board on `port`; false with the reason in `why`.
bool NameBoardOn(const std::string& port, const std::string& name, std::string* why);

}  // namespace boards
