#include "boards/probe.h"

#include <algorithm>
#include <thread>

#include "boards/session.h"

namespace boards {
namespace {

std::string FoundState(platform::SerialOpen why) {
    return why == platform::SerialOpen::InUse ? "in use by another program" : "cannot open";
}

}  // namespace

bool ReadUntil(LinePort* p, std::int64_t untilMs, BoardLine* line, const std::function<bool(const BoardLine&)>& want) {
    std::string text;
    for (;;) {
        std::string_view data(p->unread);
        while (NextLine(&p->splitter, &data, &text)) {
            if (ParseBoardLine(text, line) == ParseResult::Ok && want(*line)) {
                p->unread = std::string(data);
                return true;
            }
        }
        p->unread.clear();
        const std::int64_t now = SteadyMs();
        if (now >= untilMs || (p->stop != nullptr && p->stop->Requested())) return false;
        char buffer[128];
        const long n = platform::ReadSerial(&p->port, buffer, sizeof buffer, static_cast<int>(untilMs - now), p->wake);
        if (n < 0) return false;
        p->unread.assign(buffer, static_cast<std::size_t>(n));
    }
}

bool WriteBody(LinePort* p, const std::string& body) {
    const std::string line = FormatLine(body);
    return platform::WriteSerial(&p->port, line.data(), line.size());
}

bool AwaitHello(LinePort* p, BoardLine* hello) {
    const auto isHello = [](const BoardLine& l) { return l.verb == Verb::Hello; };
    // A board says hello as it boots; one that did not reset on opening
    // (or whose hello was lost) is asked after the boot loader's time.
    std::int64_t until = p->openedMs + kBootMs;
    while (!ReadUntil(p, until, hello, isHello)) {
        if (SteadyMs() >= p->openedMs + kProbeMs || !p->port.open) return false;
        // An empty line first ends whatever the board half-read.
        if (!platform::WriteSerial(&p->port, "\n", 1) || !WriteBody(p, "HELLO")) return false;
        until = std::min(SteadyMs() + kProbeAskMs, p->openedMs + kProbeMs);
    }
    return true;
}

model::FoundPort ProbePort(const std::string& port) {
    model::FoundPort found;
    found.port = port;
    LinePort p;
    const platform::SerialOpen opened = platform::OpenSerial(port.c_str(), kBaud, &p.port);
    if (opened != platform::SerialOpen::Ok) {
        found.state = FoundState(opened);
        return found;
    }
    p.openedMs = SteadyMs();
    BoardLine hello;
    if (AwaitHello(&p, &hello)) {
        found.state = "board";
        found.name = hello.text;
        found.version = hello.a;
    } else {
        found.state = "no answer";
    }
    platform::CloseSerial(&p.port);
    return found;
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
    LinePort p;
    const platform::SerialOpen opened = platform::OpenSerial(port.c_str(), kBaud, &p.port);
    if (opened != platform::SerialOpen::Ok) {
        *why = port + ": " + (opened == platform::SerialOpen::InUse ? "in use by another program" : "cannot open");
        return false;
    }
    p.openedMs = SteadyMs();
    BoardLine line;
    bool ok = false;
    if (!AwaitHello(&p, &line)) {
        *why = port + ": no board answered";
    } else if (line.a != kProtocolVersion) {
        *why = port + ": the board speaks protocol version " + std::to_string(line.a);
    } else if (!WriteBody(&p, "NAME " + name)) {
        *why = port + ": the port failed";
    } else if (!ReadUntil(&p, SteadyMs() + kNamedMs, &line, [](const BoardLine& l) { return l.verb == Verb::Named; })) {
        *why = port + ": the board did not confirm the name";
    } else if (line.text != name) {
        *why = port + ": the board stored \"" + line.text + "\"";
    } else {
        ok = true;
    }
    platform::CloseSerial(&p.port);
    return ok;
}

}  // namespace boards
