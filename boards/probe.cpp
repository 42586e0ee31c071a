#include "boards/probe.h"

#include <string_view>
#include <thread>

#include "boards/session.h"

namespace boards {
namespace {

// Writes what the session asks until it closes the port; false then.
bool Perform(platform::SerialPort* port, SessionSteps* steps) {
    bool open = true;
    for (const SessionStep& step : *steps) {
        if (step.kind == SessionStep::Kind::Write) open = platform::WriteSerial(port, step.text.data(), step.text.size());
        if (step.kind == SessionStep::Kind::Close) open = false;
        if (!open) break;
    }
    steps->clear();
    return open;
}

// Opens the session's port and drives the session over it until it is done
// with it (every set-up task is bounded in time).
void Drive(BoardSession* s) {
    SessionSteps steps;
    platform::SerialPort port{};
    const platform::SerialOpen opened = platform::OpenSerial(s->map->port.c_str(), kBaud, &port);
    if (opened != platform::SerialOpen::Ok) return SessionOpenFailed(s, opened, &steps);
    SessionOpened(s, SteadyMs());
    char buffer[128];
    long n = 0;
    while (s->phase != SessionPhase::Closed) {
        const std::int64_t due = SessionNextDue(s), now = SteadyMs();
        const int wait = due < 0 ? 1000 : due > now ? static_cast<int>(due - now + 1) : 0;
        n = platform::ReadSerial(&port, buffer, sizeof buffer, wait, nullptr);
        if (n < 0) break;
        SessionBytes(s, std::string_view(buffer, static_cast<std::size_t>(n)), SteadyMs(), &steps);
        SessionTick(s, SteadyMs(), &steps);
        if (!Perform(&port, &steps)) break;
    }
    SessionLost(s, &steps);
    platform::CloseSerial(&port);
}

}  // namespace

model::FoundPort ProbePort(const std::string& port) {
    const BoardMap map{"", port, {}, {}};
    BoardSession s;
    SessionInit(&s, &map);
    SessionProbe(&s);
    Drive(&s);
    return s.found;
}

std::vector<model::FoundPort> ProbePorts(const std::vector<std::string>& ports) {
    std::vector<model::FoundPort> found(ports.size());
    std::vector<std::thread> probes;
    for (std::size_t i = 0; i < ports.size(); ++i)
        probes.emplace_back([&found, &ports, i] { found[i] = ProbePort(ports[i]); });
    for (std::thread& t : probes) t.join();
    return found;
}

bool NameBoardOn(const std::string& port, const std::string& name, std::string* why) {
    if (!ValidBoardName(name)) {
        *why = "a name is 1 to 16 of a-z, 0-9, _ and -";
        return false;
    }
    const BoardMap map{"", port, {}, {}};
    BoardSession s;
    SessionInit(&s, &map);
    SessionName(&s, name);
    Drive(&s);
    if (!s.named) *why = port + ": " + s.why;
    return s.named;
}

}  // namespace boards
