// Talking to a board that no session drives, for set-up: is there a board
// on this port and what is its name, and give it a name. Each call opens the
// port for itself (exclusively), blocks for a bounded time and closes it.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "boards/line.h"
#include "model/setup_desk.h"
#include "platform/serial.h"
#include "platform/steady_clock.h"
#include "platform/stop_signal.h"

namespace boards {

// A port is asked for its hello after the boot loader's time, then this
// often, and given up after kProbeMs.
constexpr std::int64_t kProbeAskMs = 1000;
constexpr std::int64_t kProbeMs = 4000;
constexpr std::int64_t kNamedMs = 1000;

// An open port read line by line.
struct LinePort {
    platform::SerialPort port{};
    LineSplitter splitter;
    std::string unread;  // bytes read past the last line taken
    // When given: a read also ends at the wake, and the stop ends the wait.
    const platform::WakeSignal* wake = nullptr;
    const platform::StopSignal* stop = nullptr;
    std::int64_t openedMs = 0;
};

using platform::SteadyMs;
// Reads until a line `want` accepts (it is left in `*line`) or `untilMs`;
// false on the deadline or a failed port.
bool ReadUntil(LinePort* p, std::int64_t untilMs, BoardLine* line, const std::function<bool(const BoardLine&)>& want);
// Waits for the board's hello (asking for it after the boot time) until
// kProbeMs after the port opened.
bool AwaitHello(LinePort* p, BoardLine* hello);
bool WriteBody(LinePort* p, const std::string& body);

// Opens `port`, and when a board says hello, what it says.
model::FoundPort ProbePort(const std::string& port);
// Each of `ports` at once; bounded by kProbeMs (plus the opening).
std::vector<model::FoundPort> ProbePorts(const std::vector<std::string>& ports);
// Stores `name` in the board on `port`; false with the reason in `why`.
bool NameBoardOn(const std::string& port, const std::string& name, std::string* why);

}  // namespace boards
