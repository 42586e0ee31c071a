// The set-up tasks as phases of the board session: probing a port for its
// hello, naming a board, and Learn. They share the session's opening, line
// reading, ping and silence; what differs is what a hello means and how
// each ends.
#include <algorithm>

#include "boards/session.h"
#include "boards/session_parts.h"

namespace boards {

using namespace session_parts;

namespace {

// A probe, a naming or Learn is over: the port is closed.
void Finish(BoardSession* s, SessionSteps* out) {
    if (s->phase != SessionPhase::Closed) Close(out);
    s->phase = SessionPhase::Closed;
}

// Learn is over; the board's normal session starts afresh on it. When Learn
// ended by itself (not the page's Done), the page is told so.
void EndLearn(BoardSession* s, bool byItself, SessionSteps* out) {
    Log(out, "Board " + s->map->name + ": Learn ends");
    Finish(s, out);
    s->mode = SessionMode::Run;
    s->learn.ended = byItself;
    s->openFailureLogged = platform::SerialOpen::Ok;
    s->state = model::BoardState::Starting;
    s->version = 0;
    s->badLines = -1;
    s->lastInput.clear();
}

// The Learn configuration (free pins as buttons, Identify's LED or display),
// a line at a time, each confirmed by a PONG.
void Configure(BoardSession* s, std::int64_t now, SessionSteps* out) {
    s->learn.status = model::LearnStatus::Configuring;
    s->learn.detail.clear();
    std::vector<int> freePins;
    PacerInit(&s->pacer, LearnLines(*s->map, &s->identify, &freePins));
    s->phase = SessionPhase::Configure;
    s->stepMs = now;
    for (std::string& line : PacerNext(&s->pacer)) WriteRaw(out, std::move(line));
}

void ApplyIdentify(BoardSession* s, std::int64_t now, SessionSteps* out) {
    s->identifyWanted = false;
    s->identify.pins = s->identifyNext;
    Configure(s, now, out);
}

void Configured(BoardSession* s, std::int64_t now, SessionSteps* out) {
    s->learn.unwatched = s->pacer.refused;
    s->switchesUnseen.clear();
    for (const InputMap& in : s->map->inputs)
        if (in.kind == InputKind::Switch) s->switchesUnseen.push_back(in.pin);
    if (const std::string light = IdentifyLine(s->identify); !light.empty()) Write(out, light);
    if (s->learn.status == model::LearnStatus::Configuring) s->learn.status = model::LearnStatus::Working;
    s->phase = SessionPhase::Running;
    s->heardMs = s->pingMs = now;
    s->pingCount = 0;
    if (s->identifyWanted) ApplyIdentify(s, now, out);
}

void ConfigureLine(BoardSession* s, const BoardLine& line, std::int64_t now, SessionSteps* out) {
    s->stepMs = now;
    LearnPacer& p = s->pacer;
    if (line.verb == Verb::Ready && PacerDone(&p)) return Configured(s, now, out);
    if (line.verb == Verb::Err && p.waiting && p.next > 0) {
        const std::string& sent = p.lines[p.next - 1];
        if (sent.rfind("LED", 0) == 0 || sent.rfind("DISP", 0) == 0) {
            s->learn.status = model::LearnStatus::RefusedLight;
            s->learn.detail = line.text;
        }
    }
    PacerHeard(&p, line);
    for (std::string& text : PacerNext(&p)) WriteRaw(out, std::move(text));
}

void LearnInputLine(BoardSession* s, const BoardLine& line, std::int64_t now) {
    if (line.verb == Verb::Encoder) {
        // An encoder of the map: it is one already, its pins as mapped.
        for (const InputMap& in : s->map->inputs)
            if (in.kind == InputKind::Encoder && in.pin == line.a) {
                LearnInput(&s->learnState, in.pin, false, now);
                for (model::LearnPin& p : s->learnState.pins)
                    if (p.pin == in.pin) {
                        p.offer = model::PinOffer::Encoder;
                        p.pairPin = in.pinB;
                        p.encoderA = true;
                    }
            }
        return;
    }
    const bool closed = line.verb == Verb::Down;
    auto unseen = std::find(s->switchesUnseen.begin(), s->switchesUnseen.end(), line.a);
    if (unseen != s->switchesUnseen.end()) {
        s->switchesUnseen.erase(unseen);
        LearnLevel(&s->learnState, line.a, closed);
    } else {
        LearnInput(&s->learnState, line.a, closed, now);
    }
}

void OnHello(BoardSession* s, const BoardLine& hello, std::int64_t now, SessionSteps* out) {
    switch (s->mode) {
        case SessionMode::Probe:
            s->found.state = model::FoundState::Board;
            s->found.name = hello.text;
            s->found.version = hello.a;
            return Finish(s, out);
        case SessionMode::Name:
            if (hello.a != kProtocolVersion) {
                s->why = "the board speaks protocol version " + std::to_string(hello.a);
                return Finish(s, out);
            }
            Write(out, "NAME " + s->nameWanted);
            s->phase = SessionPhase::Naming;
            s->stepMs = now;
            return;
        case SessionMode::Learn:
            // Never Learn on another board than the one named.
            if (hello.a != kProtocolVersion || hello.text != s->map->name) {
                s->learn.status = model::LearnStatus::OtherBoard;
                s->learn.detail = hello.text;
                return EndLearn(s, true, out);
            }
            return Configure(s, now, out);
        case SessionMode::Run: return;
    }
}

// The hello phase's end without one.
void NoHello(BoardSession* s, SessionSteps* out) {
    switch (s->mode) {
        case SessionMode::Probe: s->found.state = model::FoundState::NoAnswer; return Finish(s, out);
        case SessionMode::Name: s->why = "no board answered"; return Finish(s, out);
        case SessionMode::Learn: s->learn.status = model::LearnStatus::NoHello; return EndLearn(s, true, out);
        case SessionMode::Run: return;
    }
}

}  // namespace

namespace session_parts {

void SetupOpenFailed(BoardSession* s, platform::SerialOpen why, SessionSteps* out) {
    const bool inUse = why == platform::SerialOpen::InUse;
    switch (s->mode) {
        case SessionMode::Probe:
            s->found.state = inUse ? model::FoundState::InUse : model::FoundState::CannotOpen;
            return;
        case SessionMode::Name: s->why = inUse ? "in use by another program" : "cannot open"; return;
        case SessionMode::Learn:
            s->learn.status = inUse ? model::LearnStatus::InUse : model::LearnStatus::CannotOpen;
            return EndLearn(s, true, out);
        case SessionMode::Run: return;
    }
}

void SetupLost(BoardSession* s, SessionSteps* out) {
    const SessionPhase was = s->phase;
    s->phase = SessionPhase::Closed;  // the port is gone: nothing to close
    if (was == SessionPhase::Hello) return NoHello(s, out);
    if (s->mode == SessionMode::Name) s->why = "the board did not confirm the name";
    if (s->mode != SessionMode::Learn) return;
    if (was == SessionPhase::Configure) s->learn.status = model::LearnStatus::NotTaken;
    EndLearn(s, true, out);
}

void SetupLine(BoardSession* s, const BoardLine& line, std::int64_t now, SessionSteps* out) {
    switch (s->phase) {
        case SessionPhase::Hello:
            if (line.verb == Verb::Hello) OnHello(s, line, now, out);
            return;
        case SessionPhase::Naming:
            if (line.verb != Verb::Named) return;
            s->named = line.text == s->nameWanted;
            if (!s->named) s->why = "the board stored \"" + line.text + "\"";
            return Finish(s, out);
        case SessionPhase::Configure: return ConfigureLine(s, line, now, out);
        case SessionPhase::Running:
            // A hello: it restarted, and is configured again.
            if (line.verb == Verb::Hello) return Configure(s, now, out);
            if (line.verb == Verb::Down || line.verb == Verb::Up || line.verb == Verb::Encoder)
                LearnInputLine(s, line, now);
            return;
        case SessionPhase::Closed:
        case SessionPhase::Unused: return;
    }
}

void SetupTick(BoardSession* s, std::int64_t now, SessionSteps* out) {
    switch (s->phase) {
        case SessionPhase::Hello:
            if (now - s->openedMs >= kProbeMs) return NoHello(s, out);
            // A board says hello as it boots; one that did not reset on
            // opening (or whose hello was lost) is asked after the boot
            // loader's time, an empty line first ending what it half-read.
            if (now - s->openedMs >= kBootMs && now - s->askedMs >= kProbeAskMs) {
                s->askedMs = now;
                WriteRaw(out, "\n");
                Write(out, "HELLO");
            }
            return;
        case SessionPhase::Naming:
            if (now - s->stepMs < kNamedMs) return;
            s->why = "the board did not confirm the name";
            return Finish(s, out);
        case SessionPhase::Configure:
            if (now - s->stepMs < kLearnStepMs) return;
            s->learn.status = model::LearnStatus::NotTaken;
            return EndLearn(s, true, out);
        case SessionPhase::Running:
            if (!KeepAlive(s, now, out)) return EndLearn(s, true, out);
            LearnTick(&s->learnState, now);
            return;
        case SessionPhase::Closed:
        case SessionPhase::Unused: return;
    }
}

std::int64_t SetupNextDue(const BoardSession* s) {
    switch (s->phase) {
        case SessionPhase::Hello:
            return std::min(s->openedMs + kProbeMs, std::max(s->openedMs + kBootMs, s->askedMs + kProbeAskMs));
        case SessionPhase::Naming: return s->stepMs + kNamedMs;
        case SessionPhase::Configure: return s->stepMs + kLearnStepMs;
        case SessionPhase::Running: {
            const std::int64_t due = std::min(s->heardMs + kSilentMs, std::max(s->heardMs, s->pingMs) + kPingMs);
            const std::int64_t learn = LearnNextDue(&s->learnState);
            return learn >= 0 ? std::min(due, learn) : due;
        }
        case SessionPhase::Closed:
        case SessionPhase::Unused: return -1;
    }
    return -1;
}

}  // namespace session_parts

void SessionProbe(BoardSession* s) {
    s->mode = SessionMode::Probe;
    s->found = model::FoundPort{};
    s->found.port = s->map->port;
}

void SessionName(BoardSession* s, std::string name) {
    s->mode = SessionMode::Name;
    s->nameWanted = std::move(name);
    s->named = false;
    s->why.clear();
}

void SessionLearn(BoardSession* s, SessionSteps* out) {
    s->mode = SessionMode::Learn;
    s->state = model::BoardState::Learning;
    s->learn = model::LearnView{};
    s->learn.board = s->map->name;
    s->learn.port = s->map->port;
    s->learnState = LearnState{};
    Log(out, "Board " + s->map->name + ": Learn begins");
}

void SessionIdentify(BoardSession* s, std::vector<int> pins, std::int64_t now, SessionSteps* out) {
    if (s->mode != SessionMode::Learn) return;
    s->identifyNext = std::move(pins);
    s->identifyWanted = true;
    // While configuring, the present configuration is finished first.
    if (s->phase == SessionPhase::Running) ApplyIdentify(s, now, out);
}

void SessionLearnDone(BoardSession* s, SessionSteps* out) {
    if (s->mode == SessionMode::Learn) EndLearn(s, false, out);
}

model::LearnView SessionLearnView(const BoardSession* s) {
    model::LearnView view = s->learn;
    view.pins = s->learnState.pins;
    return view;
}

}  // namespace boards
