#include "boards/session.h"

#include <algorithm>

#include "boards/session_parts.h"

namespace boards {
namespace session_parts {

void Log(SessionSteps* out, std::string text) {
    SessionStep step;
    step.kind = SessionStep::Kind::Log;
    step.text = std::move(text);
    out->push_back(std::move(step));
}

void Write(SessionSteps* out, std::string_view body) { WriteRaw(out, FormatLine(body)); }

void WriteRaw(SessionSteps* out, std::string text) {
    SessionStep step;
    step.kind = SessionStep::Kind::Write;
    step.text = std::move(text);
    out->push_back(std::move(step));
}

void Close(SessionSteps* out) {
    SessionStep close;
    close.kind = SessionStep::Kind::Close;
    out->push_back(close);
}

bool KeepAlive(BoardSession* s, std::int64_t now, SessionSteps* out) {
    if (now - s->heardMs >= kSilentMs) return false;
    if (now - s->heardMs >= kPingMs && now - s->pingMs >= kPingMs) {
        s->pingMs = now;
        Write(out, "PING " + std::to_string(s->pingCount++));
    }
    return true;
}

}  // namespace session_parts
namespace {

using namespace session_parts;

void Command(SessionSteps* out, SessionStep::Kind kind, std::size_t input, bool on, int detents) {
    SessionStep step;
    step.kind = kind;
    step.input = input;
    step.on = on;
    step.detents = detents;
    out->push_back(std::move(step));
}

void SendConfiguration(BoardSession* s, std::int64_t now, SessionSteps* out) {
    s->phase = SessionPhase::Configure;
    s->configMs = now;
    for (const std::string& line : ConfigurationLines(*s->map)) Write(out, line);
}

// The outputs the board does not show as the panels do.
void SendOutputs(BoardSession* s, SessionSteps* out) {
    if (s->phase != SessionPhase::Running || s->snapshotDue) return;
    for (std::size_t i = 0; i < s->wanted.size(); ++i) {
        if (s->shownValid[i] && s->shown[i] == s->wanted[i]) continue;
        Write(out, s->wanted[i]);
        s->shown[i] = s->wanted[i];
        s->shownValid[i] = true;
    }
}

void WantText(BoardSession* s, int controlId, std::string_view text) {
    for (std::size_t i = 0; i < s->map->outputs.size(); ++i) {
        const OutputMap& o = s->map->outputs[i];
        if (o.display && o.controlId == controlId) s->wanted[i] = "T " + std::to_string(o.slot) + " " + DisplayText(text);
    }
}

void WantCheck(BoardSession* s, int controlId, bool checked) {
    for (std::size_t i = 0; i < s->map->outputs.size(); ++i) {
        const OutputMap& o = s->map->outputs[i];
        if (!o.display && o.controlId == controlId) s->wanted[i] = "L " + std::to_string(o.pin) + (checked ? " 1" : " 0");
    }
}

void OnHello(BoardSession* s, const BoardLine& line, std::int64_t now, SessionSteps* out) {
    if (s->phase == SessionPhase::Unused) return;
    s->version = line.a;
    if (line.a != kProtocolVersion) {
        Log(out, s->who + " speaks protocol version " + std::to_string(line.a) + ", not " +
                     std::to_string(kProtocolVersion) + ": not used");
        s->state = model::BoardState::OtherVersion;
        s->phase = SessionPhase::Unused;
        return;
    }
    if (line.text != s->map->name) {
        // The port may have gone to another board: never drive the wrong one.
        Log(out, "Board on " + s->map->port + " is " +
                     (line.text == "-" ? std::string("unnamed") : "named " + line.text) + ", not " +
                     s->map->name + ": not used");
        s->state = model::BoardState::OtherName;
        s->heardName = line.text;
        s->phase = SessionPhase::Unused;
        return;
    }
    // A hello while running: the board started afresh (its watchdog, a
    // reset) and has forgotten its configuration and outputs.
    Log(out, s->who + (s->phase == SessionPhase::Running ? " restarted; configuring it again" : " connected"));
    SendConfiguration(s, now, out);
}

void OnInput(BoardSession* s, const BoardLine& line, std::int64_t now, SessionSteps* out) {
    for (std::size_t i = 0; i < s->map->inputs.size(); ++i) {
        const InputMap& in = s->map->inputs[i];
        if (in.pin != line.a) continue;
        const bool encoder = line.verb == Verb::Encoder;
        switch (in.kind) {
            case InputKind::Button:
                if (!encoder) Command(out, SessionStep::Kind::Press, i, line.verb == Verb::Down, 0);
                break;
            case InputKind::Switch:
                // Set, never toggled: the panel follows the switch.
                if (!encoder) Command(out, SessionStep::Kind::Switch, i, line.verb == Verb::Down, 0);
                break;
            case InputKind::Encoder:
                if (encoder) Command(out, SessionStep::Kind::Step, i, FastTurn(&s->paces[i], now, line.b), line.b);
                break;
        }
        return;
    }
}

void OnLine(BoardSession* s, std::string_view text, std::int64_t now, SessionSteps* out) {
    // An empty line carries nothing: a sender may send one to start afresh.
    if (text.empty() || text == "\r") return;
    BoardLine line;
    const ParseResult result = ParseBoardLine(text, &line);
    if (result != ParseResult::Ok) {
        ++(result == ParseResult::Unknown ? s->unknown : s->malformed);
        return;
    }
    if (s->mode != SessionMode::Run) return SetupLine(s, line, now, out);
    if (s->phase == SessionPhase::Running && (line.verb == Verb::Down || line.verb == Verb::Up))
        s->lastInput = (line.verb == Verb::Down ? "D " : "U ") + std::to_string(line.a);
    if (s->phase == SessionPhase::Running && line.verb == Verb::Encoder)
        s->lastInput = "E " + std::to_string(line.a) + " " + std::to_string(line.b);
    switch (line.verb) {
        case Verb::Hello: OnHello(s, line, now, out); break;
        case Verb::Ready:
            if (s->phase != SessionPhase::Configure) break;
            s->phase = SessionPhase::Running;
            Log(out, s->who + " ready, " + std::to_string(line.a) + " inputs and outputs");
            s->heardMs = now;
            s->state = model::BoardState::Connected;
            s->statsMs = now;
            if (s->askStats) Write(out, "STATS");
            // Configured, at connect, after a restart, after a save or
            // Learn: the board shows nothing yet, and the panels' changes
            // since it last showed them may never come again.
            s->shownValid.assign(s->shownValid.size(), false);
            if (!s->wanted.empty()) {
                s->snapshotDue = true;
                SessionStep snapshot;
                snapshot.kind = SessionStep::Kind::Snapshot;
                out->push_back(snapshot);
            }
            break;
        case Verb::Stats: s->badLines = line.a; break;
        case Verb::Err: Log(out, s->who + " refused a configuration line: " + line.text); break;
        case Verb::Down:
        case Verb::Up:
        case Verb::Encoder:
            if (s->phase == SessionPhase::Running) OnInput(s, line, now, out);
            break;
        case Verb::Pong:
        case Verb::Named: break;
    }
}

}  // namespace

void SessionInit(BoardSession* s, const BoardMap* map) {
    *s = BoardSession{};
    s->map = map;
    s->who = "Board " + map->name + " on " + map->port;
    for (const OutputMap& o : map->outputs)
        s->wanted.push_back(o.display ? "T " + std::to_string(o.slot) + " "
                                      : "L " + std::to_string(o.pin) + " 0");
    s->shown.resize(map->outputs.size());
    s->shownValid.assign(map->outputs.size(), false);
}

void SessionOpenFailed(BoardSession* s, platform::SerialOpen why, SessionSteps* out) {
    if (s->mode != SessionMode::Run) return SetupOpenFailed(s, why, out);
    s->state = why == platform::SerialOpen::InUse ? model::BoardState::InUse : model::BoardState::CannotOpen;
    if (why == s->openFailureLogged) return;
    s->openFailureLogged = why;
    const std::string retry = "; trying every " + std::to_string(kRetryMs / 1000) + " s";
    switch (why) {
        case platform::SerialOpen::InUse: Log(out, s->who + ": the port is in use by another program" + retry); break;
        case platform::SerialOpen::BadBaud:
            Log(out, s->who + ": the port cannot be set to " + std::to_string(kBaud) + " baud" + retry);
            break;
        default: Log(out, s->who + ": cannot open the port" + retry); break;
    }
}

void SessionOpened(BoardSession* s, std::int64_t now) {
    s->openFailureLogged = platform::SerialOpen::CannotOpen;
    s->phase = SessionPhase::Hello;
    s->openedMs = now;
    s->askedMs = kLongAgo;
    s->configMs = now;
    s->heardMs = now;
    s->pingMs = kLongAgo;
    s->pingCount = 0;
    s->helloLogged = false;
    s->readyLogged = false;
    s->splitter = LineSplitter{};
    s->malformed = s->unknown = s->badLogged = 0;
    s->badLoggedMs = kLongAgo;
    s->paces.assign(s->map->inputs.size(), EncoderPace{});
    s->refusalLogged.assign(s->map->inputs.size(), false);
    s->shownValid.assign(s->shownValid.size(), false);
}

void SessionLost(BoardSession* s, SessionSteps* out) {
    if (s->phase == SessionPhase::Closed) return;
    if (s->mode != SessionMode::Run) return SetupLost(s, out);
    s->phase = SessionPhase::Closed;
    s->state = model::BoardState::Lost;
    Log(out, s->who + " lost; retrying every " + std::to_string(kRetryMs / 1000) + " s");
}

void SessionBytes(BoardSession* s, std::string_view data, std::int64_t now, SessionSteps* out) {
    if (s->phase == SessionPhase::Closed || data.empty()) return;
    s->heardMs = now;
    std::string line;
    while (NextLine(&s->splitter, &data, &line)) OnLine(s, line, now, out);
}

void SessionTick(BoardSession* s, std::int64_t now, SessionSteps* out) {
    if (s->phase == SessionPhase::Closed) return;
    if (s->mode != SessionMode::Run) return SetupTick(s, now, out);
    // A line dropped as too long counts as malformed too.
    const std::uint64_t malformed = s->malformed + s->splitter.overlongLines;
    if (malformed + s->unknown != s->badLogged && now - s->badLoggedMs >= kBadLinesLogMs) {
        Log(out, s->who + ": " + std::to_string(malformed) + " malformed and " + std::to_string(s->unknown) +
                     " unknown lines ignored so far");
        s->badLogged = malformed + s->unknown;
        s->badLoggedMs = now;
    }
    switch (s->phase) {
        case SessionPhase::Hello:
            if (now - s->openedMs >= kHelloMs && !s->helloLogged) {
                Log(out, s->who + ": no hello within " + std::to_string(kHelloMs / 1000) + " s");
                s->helloLogged = true;
                s->state = model::BoardState::NoHello;
            }
            if (now - s->openedMs >= kBootMs && now - s->askedMs >= kHelloAskMs) {
                s->askedMs = now;
                Write(out, "HELLO");
            }
            return;
        case SessionPhase::Configure:
            if (now - s->configMs < kReadyMs) return;
            if (!s->readyLogged) Log(out, s->who + ": no READY to its configuration; sending it again");
            s->readyLogged = true;
            SendConfiguration(s, now, out);
            return;
        case SessionPhase::Running:
            if (now - s->heardMs >= kSilentMs) return Close(out);
            if (s->askStats && now - s->statsMs >= kStatsMs) {
                s->statsMs = now;
                Write(out, "STATS");
            }
            KeepAlive(s, now, out);
            SendOutputs(s, out);
            return;
        case SessionPhase::Closed:
        case SessionPhase::Unused:
        case SessionPhase::Naming: return;
    }
}

std::int64_t SessionNextDue(const BoardSession* s) {
    std::int64_t due = -1;
    const auto at = [&due](std::int64_t t) { due = due < 0 || t < due ? t : due; };
    if (s->phase == SessionPhase::Closed) return due;
    if (s->mode != SessionMode::Run) return SetupNextDue(s);
    if (s->malformed + s->splitter.overlongLines + s->unknown != s->badLogged) at(s->badLoggedMs + kBadLinesLogMs);
    switch (s->phase) {
        case SessionPhase::Hello:
            if (!s->helloLogged) at(s->openedMs + kHelloMs);
            at(std::max(s->openedMs + kBootMs, s->askedMs + kHelloAskMs));
            break;
        case SessionPhase::Configure: at(s->configMs + kReadyMs); break;
        case SessionPhase::Running:
            at(s->heardMs + kSilentMs);
            at(std::max(s->heardMs, s->pingMs) + kPingMs);
            if (s->askStats) at(s->statsMs + kStatsMs);
            break;
        case SessionPhase::Closed:
        case SessionPhase::Unused:
        case SessionPhase::Naming: break;
    }
    return due;
}

void SessionPanelText(BoardSession* s, int controlId, std::string_view text, SessionSteps* out) {
    WantText(s, controlId, text);
    SendOutputs(s, out);
}

void SessionPanelCheck(BoardSession* s, int controlId, bool checked, SessionSteps* out) {
    WantCheck(s, controlId, checked);
    SendOutputs(s, out);
}

void SessionSnapshot(BoardSession* s, const std::vector<platform::ControlState>& states, SessionSteps* out) {
    for (const platform::ControlState& state : states) {
        WantText(s, state.id, state.text);
        WantCheck(s, state.id, state.checked);
    }
    s->snapshotDue = false;
    SendOutputs(s, out);
}

void SessionRefused(BoardSession* s, std::size_t input, const char* why, SessionSteps* out) {
    if (input >= s->refusalLogged.size() || s->refusalLogged[input]) return;
    s->refusalLogged[input] = true;
    Log(out, s->who + ": " + s->map->inputs[input].target.name + " refused the board's command: " + why);
}

}  // namespace boards
