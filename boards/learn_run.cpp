#include "boards/learn_run.h"

#include <algorithm>

#include "base/log.h"
#include "boards/learn.h"
#include "boards/probe.h"
#include "boards/session.h"

namespace boards {
namespace {

// A configuration step unanswered this long: the board stopped answering.
constexpr std::int64_t kStepMs = 1000;

struct Learner {
    BoardRun* run;
    LearnControl* control;
    platform::StopSignal& stop;
    LinePort port;
    LearnState state;
    IdentifyPins identify;
    std::vector<int> refused;
    std::vector<int> switchesUnseen;  // mapped switches whose first report is their position
    std::string status;
};

void PublishLearn(Learner* l) {
    if (l->run->desk == nullptr) return;
    l->run->desk->Publish([l](model::SetupSnapshot& snapshot) {
        model::LearnView& view = snapshot.learn;
        view.board = l->run->map.name;
        view.status = l->status;
        view.pins = l->state.pins;
        view.unwatched = l->refused;
    });
}

void SetStatus(Learner* l, std::string status) {
    if (status == l->status) return;
    l->status = std::move(status);
    PublishLearn(l);
}

// Reads a line for the configuration; false on the stop, a failed port or
// silence.
bool ConfigLine(Learner* l, BoardLine* line) {
    return ReadUntil(&l->port, SteadyMs() + kStepMs, line, [](const BoardLine&) { return true; }) &&
           !l->stop.Requested();
}

// Sends the Learn configuration (with what Identify asks to light) paced,
// until READY; false when the board did not take it.
bool Configure(Learner* l) {
    std::vector<int> freePins;
    LearnPacer pacer;
    PacerInit(&pacer, LearnLines(l->run->map, &l->identify, &freePins));
    BoardLine line;
    for (;;) {
        for (const std::string& text : PacerNext(&pacer))
            if (!platform::WriteSerial(&l->port.port, text.data(), text.size())) return false;
        if (!ConfigLine(l, &line)) return false;
        if (line.verb == Verb::Ready && PacerDone(&pacer)) break;
        const std::string& sent = pacer.lines[pacer.next - 1];
        if (line.verb == Verb::Err && pacer.waiting && (sent.rfind("LED", 0) == 0 || sent.rfind("DISP", 0) == 0))
            SetStatus(l, "the board refused to light those pins: " + line.text);
        PacerHeard(&pacer, line);
    }
    l->refused = pacer.refused;
    l->switchesUnseen.clear();
    for (const InputMap& in : l->run->map.inputs)
        if (in.kind == InputKind::Switch) l->switchesUnseen.push_back(in.pin);
    const std::string light = IdentifyLine(l->identify);
    if (!light.empty() && !WriteBody(&l->port, light)) return false;
    PublishLearn(l);
    return true;
}

void OnInput(Learner* l, const BoardLine& line) {
    if (line.verb == Verb::Encoder) {
        // An encoder of the map: it is one already, its pins as mapped.
        for (const InputMap& in : l->run->map.inputs)
            if (in.kind == InputKind::Encoder && in.pin == line.a) {
                LearnInput(&l->state, in.pin, false, SteadyMs());
                for (model::LearnPin& p : l->state.pins)
                    if (p.pin == in.pin) {
                        p.offer = "encoder";
                        p.pairPin = in.pinB;
                        p.encoderA = true;
                    }
            }
        return;
    }
    const bool closed = line.verb == Verb::Down;
    auto unseen = std::find(l->switchesUnseen.begin(), l->switchesUnseen.end(), line.a);
    if (unseen != l->switchesUnseen.end()) {
        l->switchesUnseen.erase(unseen);
        LearnLevel(&l->state, line.a, closed);
    } else {
        LearnInput(&l->state, line.a, closed, SteadyMs());
    }
}

// The board configured: its inputs until it is lost or the stop; true when
// Identify asks for a new configuration.
bool Watch(Learner* l) {
    std::int64_t heard = SteadyMs(), pinged = heard;
    std::uint16_t ping = 0;
    char buffer[128];
    std::string text;
    while (!l->stop.Requested()) {
        {
            std::lock_guard<std::mutex> lock(l->control->mutex);
            if (l->control->identifyWanted) {
                l->control->identifyWanted = false;
                l->identify.pins = l->control->identify;
                return true;
            }
        }
        const std::int64_t now = SteadyMs();
        if (now - heard >= kSilentMs) return false;
        if (now - heard >= kPingMs && now - pinged >= kPingMs) {
            pinged = now;
            if (!WriteBody(&l->port, "PING " + std::to_string(ping++))) return false;
        }
        if (LearnTick(&l->state, now)) PublishLearn(l);
        std::int64_t due = std::max(heard, pinged) + kPingMs;
        if (const std::int64_t d = LearnNextDue(&l->state); d >= 0) due = std::min(due, d);
        const int wait = static_cast<int>(std::clamp<std::int64_t>(due - now + 1, 0, kPingMs));
        const long n = platform::ReadSerial(&l->port.port, buffer, sizeof buffer, wait,
                                            l->run->woken ? &l->run->wake : nullptr);
        if (n < 0) return false;
        if (n > 0) heard = SteadyMs();
        std::string_view data(buffer, static_cast<std::size_t>(n));
        bool inputs = false;
        BoardLine line;
        while (NextLine(&l->port.splitter, &data, &text)) {
            if (ParseBoardLine(text, &line) != ParseResult::Ok) continue;
            if (line.verb == Verb::Hello) return true;  // it restarted: configured again
            if (line.verb == Verb::Down || line.verb == Verb::Up || line.verb == Verb::Encoder) {
                OnInput(l, line);
                inputs = true;
            }
        }
        // Every report at once: a press shows on the page without delay.
        if (inputs) PublishLearn(l);
    }
    return false;
}

// One connection: hello, configuration, watching; false when it ended.
bool Connection(Learner* l) {
    BoardLine hello;
    if (!AwaitHello(&l->port, &hello)) {
        SetStatus(l, "no hello from the board");
        return false;
    }
    if (hello.a != kProtocolVersion || hello.text != l->run->map.name) {
        SetStatus(l, "the board on " + l->run->map.port + " is named " + hello.text + ", not " + l->run->map.name);
        return false;
    }
    do {
        SetStatus(l, "configuring the board");
        if (!Configure(l)) {
            SetStatus(l, "the board did not take the Learn configuration");
            return false;
        }
        if (l->status == "configuring the board") SetStatus(l, "working the board");
    } while (Watch(l));
    return false;
}

}  // namespace

void RunLearn(BoardRun* run, LearnControl* control, platform::StopSignal& stop) {
    Learner l{run, control, stop, LinePort{}, LearnState{}, IdentifyPins{}, {}, {}, ""};
    model::BoardView view = run->published;
    view.state = "learning";
    PublishBoard(run, view);
    WriteLog(("Board " + run->map.name + ": Learn begins\n").c_str());
    const platform::SerialOpen opened = platform::OpenSerial(run->map.port.c_str(), kBaud, &l.port.port);
    if (opened != platform::SerialOpen::Ok) {
        SetStatus(&l, opened == platform::SerialOpen::InUse ? "in use by another program" : "cannot open");
    } else {
        l.port.openedMs = SteadyMs();
        l.port.wake = run->woken ? &run->wake : nullptr;
        l.port.stop = &stop;
        Connection(&l);
        platform::CloseSerial(&l.port.port);
    }
    WriteLog(("Board " + run->map.name + ": Learn ends\n").c_str());
    if (stop.Requested()) return;
    // Lost, or it never began: the normal session takes the board again.
    SetStatus(&l, l.status + "; Learn ended");
    RunBoard(run, stop);
}

}  // namespace boards
