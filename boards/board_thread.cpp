#include "boards/board_thread.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/log.h"
#include "boards/encoder_pace.h"
#include "boards/line.h"
#include "boards/mapping.h"
#include "boards/panel_access.h"
#include "platform/serial.h"
#include "platform/time.h"

namespace boards {
namespace {

constexpr int kBaud = 115200;
constexpr int kRetryMs = 2000;
constexpr std::int64_t kBootMs = 2000;        // the boot loader after the port opened
constexpr std::int64_t kHelloAskMs = 2500;    // asked again this often until it answers
constexpr std::int64_t kHelloMs = 5000;       // no hello by then: a log line
constexpr std::int64_t kReadyMs = 3000;       // configuration sent again without READY
constexpr std::int64_t kOutputPollMs = 10;  // only a counter is read when nothing changed
constexpr std::int64_t kBadLinesLogMs = 10000;
// A quiet board is pinged; one silent this long counts as lost. Some ports
// never report a board that went away (a USB adapter left plugged in, a
// serial port under Wine), so silence is the only sign.
constexpr std::int64_t kPingMs = 1000;
constexpr std::int64_t kSilentMs = 3500;
constexpr int kReadMs = 10;

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

enum class Phase { Hello, Configure, Running, Unused };

struct Session {
    const BoardMap* map = nullptr;
    platform::SerialPort port{};
    std::string who;  // "Board NAME on PORT"
    Phase phase = Phase::Hello;
    std::int64_t openedMs = 0;
    std::int64_t askedMs = 0;      // last HELLO sent
    std::int64_t configMs = 0;     // configuration sent
    std::int64_t outputsMs = 0;    // outputs last compared
    std::int64_t heardMs = 0;      // a byte last came from the board
    std::int64_t pingMs = 0;
    std::uint16_t pingCount = 0;
    bool helloLogged = false;
    bool readyLogged = false;
    LineSplitter splitter;
    std::uint64_t malformed = 0, unknown = 0, badLogged = 0;
    std::int64_t badLoggedMs = 0;
    std::vector<EncoderPace> paces;     // by input index
    std::vector<bool> refusalLogged;    // by input index
    std::uint64_t feedVersion = 0;      // of the outputs last compared
    bool outputsSent = false;           // since READY
    std::vector<std::string> shown;     // by output index: what the board shows
    std::vector<bool> shownValid;
};

void Log(const Session& s, const std::string& text) { WriteLog((s.who + text + "\n").c_str()); }

bool Send(Session* s, const std::string& body) {
    const std::string line = FormatLine(body);
    return platform::WriteSerial(&s->port, line.data(), line.size());
}

bool SendConfiguration(Session* s, std::int64_t now) {
    s->phase = Phase::Configure;
    s->configMs = now;
    for (const std::string& line : ConfigurationLines(*s->map))
        if (!Send(s, line)) return false;
    return true;
}

int InputAt(const Session& s, int pin) {
    for (std::size_t i = 0; i < s.map->inputs.size(); ++i)
        if (s.map->inputs[i].pin == pin) return static_cast<int>(i);
    return -1;
}

void OnHello(Session* s, const BoardLine& line, std::int64_t now, bool* ok) {
    if (s->phase == Phase::Unused) return;
    if (line.a != kProtocolVersion) {
        Log(*s, " speaks protocol version " + std::to_string(line.a) + ", not " +
                    std::to_string(kProtocolVersion) + ": not used");
        s->phase = Phase::Unused;
        return;
    }
    if (line.text != s->map->name) {
        // The port may have gone to another board: never drive the wrong one.
        WriteLog(("Board on " + s->map->port + " is " +
                  (line.text == "-" ? std::string("unnamed") : "named " + line.text) + ", not " + s->map->name +
                  ": not used\n")
                     .c_str());
        s->phase = Phase::Unused;
        return;
    }
    Log(*s, " connected");
    *ok = SendConfiguration(s, now);
}

void OnInput(Session* s, const BoardLine& line, std::int64_t now) {
    const int index = InputAt(*s, line.a);
    if (index < 0) return;
    const std::size_t i = static_cast<std::size_t>(index);
    const InputMap& in = s->map->inputs[i];
    const char* refusal = nullptr;
    switch (in.kind) {
        case InputKind::Button:
            if (line.verb != Verb::Encoder) refusal = Press(in.target, line.verb == Verb::Down);
            break;
        case InputKind::Switch:
            // Set, never toggled: the panel follows the switch.
            if (line.verb != Verb::Encoder) refusal = SetSwitch(in.target, line.verb == Verb::Down);
            break;
        case InputKind::Encoder:
            if (line.verb == Verb::Encoder) refusal = Step(in.target.id, line.b, FastTurn(&s->paces[i], now, line.b));
            break;
    }
    if (refusal != nullptr && !s->refusalLogged[i]) {
        s->refusalLogged[i] = true;
        Log(*s, ": " + in.target.name + " refused the board's command: " + refusal);
    }
}

// false when the port failed.
bool OnLine(Session* s, const std::string& text, std::int64_t now) {
    BoardLine line;
    const ParseResult result = ParseBoardLine(text, &line);
    if (result != ParseResult::Ok) {
        ++(result == ParseResult::Unknown ? s->unknown : s->malformed);
        return true;
    }
    bool ok = true;
    switch (line.verb) {
        case Verb::Hello: OnHello(s, line, now, &ok); break;
        case Verb::Ready:
            if (s->phase != Phase::Configure) break;
            s->phase = Phase::Running;
            Log(*s, " ready, " + std::to_string(line.a) + " inputs and outputs");
            s->shownValid.assign(s->map->outputs.size(), false);
            s->outputsMs = 0;
            s->outputsSent = false;
            s->heardMs = now;
            break;
        case Verb::Err: Log(*s, " refused a configuration line: " + line.text); break;
        case Verb::Down:
        case Verb::Up:
        case Verb::Encoder:
            if (s->phase == Phase::Running) OnInput(s, line, now);
            break;
        case Verb::Pong:
        case Verb::Named: break;
    }
    return ok;
}

bool SendOutputs(Session* s) {
    for (std::size_t i = 0; i < s->map->outputs.size(); ++i) {
        const OutputMap& out = s->map->outputs[i];
        std::string line;
        if (out.display) {
            std::string text;
            ShownText(out.controlId, &text);
            line = "T " + std::to_string(out.slot) + " " + DisplayText(text);
        } else {
            bool checked = false;
            ShownCheck(out.controlId, &checked);
            line = "L " + std::to_string(out.pin) + (checked ? " 1" : " 0");
        }
        if (s->shownValid[i] && s->shown[i] == line) continue;
        if (!Send(s, line)) return false;
        s->shown[i] = line;
        s->shownValid[i] = true;
    }
    return true;
}

// The timed part of a session; false when the port failed.
bool Tick(Session* s, std::int64_t now) {
    if (s->malformed + s->unknown != s->badLogged && now - s->badLoggedMs >= kBadLinesLogMs) {
        Log(*s, ": " + std::to_string(s->malformed) + " malformed and " + std::to_string(s->unknown) +
                    " unknown lines ignored so far");
        s->badLogged = s->malformed + s->unknown;
        s->badLoggedMs = now;
    }
    switch (s->phase) {
        case Phase::Hello:
            if (now - s->openedMs >= kHelloMs && !s->helloLogged) {
                Log(*s, ": no hello within " + std::to_string(kHelloMs / 1000) + " s");
                s->helloLogged = true;
            }
            if (now - s->openedMs >= kBootMs && now - s->askedMs >= kHelloAskMs) {
                s->askedMs = now;
                return Send(s, "HELLO");
            }
            return true;
        case Phase::Configure:
            if (now - s->configMs < kReadyMs) return true;
            if (!s->readyLogged) Log(*s, ": no READY to its configuration; sending it again");
            s->readyLogged = true;
            return SendConfiguration(s, now);
        case Phase::Running:
            if (now - s->heardMs >= kSilentMs) return false;
            if (now - s->heardMs >= kPingMs && now - s->pingMs >= kPingMs) {
                s->pingMs = now;
                if (!Send(s, "PING " + std::to_string(s->pingCount++))) return false;
            }
            if (now - s->outputsMs < kOutputPollMs) return true;
            s->outputsMs = now;
            if (PanelFeedVersion() == s->feedVersion && s->outputsSent) return true;
            s->feedVersion = PanelFeedVersion();
            s->outputsSent = true;
            return SendOutputs(s);
        case Phase::Unused: return true;
    }
    return true;
}

// Until the port fails.
void RunSession(Session* s) {
    char buffer[256];
    for (;;) {
        const long n = platform::ReadSerial(&s->port, buffer, sizeof buffer, kReadMs);
        if (n < 0) return;
        const std::int64_t now = NowMs();
        if (n > 0) s->heardMs = now;
        std::string_view data(buffer, static_cast<std::size_t>(n));
        std::string line;
        while (NextLine(&s->splitter, &data, &line))
            if (!OnLine(s, line, now)) return;
        if (!Tick(s, now)) return;
    }
}

std::string OpenFailure(platform::SerialOpen why) {
    switch (why) {
        case platform::SerialOpen::InUse: return ": the port is in use by another program; trying every 2 s";
        case platform::SerialOpen::BadBaud:
            return ": the port cannot be set to " + std::to_string(kBaud) + " baud; trying every 2 s";
        default: return ": cannot open the port; trying every 2 s";
    }
}

void RunBoard(const BoardMap map) {
    const std::string who = "Board " + map.name + " on " + map.port;
    // Each reason is logged once, and again only after another one.
    platform::SerialOpen logged = platform::SerialOpen::Ok;
    for (;;) {
        Session s;
        s.map = &map;
        s.who = who;
        const platform::SerialOpen opened = platform::OpenSerial(map.port.c_str(), kBaud, &s.port);
        if (opened != platform::SerialOpen::Ok) {
            if (opened != logged) WriteLog((who + OpenFailure(opened) + "\n").c_str());
            logged = opened;
            platform::SleepMs(kRetryMs);
            continue;
        }
        logged = platform::SerialOpen::CannotOpen;  // after a loss, its own line has said so
        s.openedMs = NowMs();
        s.refusalLogged.assign(map.inputs.size(), false);
        s.paces.resize(map.inputs.size());
        s.shown.resize(map.outputs.size());
        s.shownValid.assign(map.outputs.size(), false);
        RunSession(&s);
        platform::CloseSerial(&s.port);
        WriteLog((who + " lost; retrying every 2 s\n").c_str());
        platform::SleepMs(kRetryMs);
    }
}

}  // namespace

void StartBoards() {
    if (boardMaps.empty()) return;
    StartPanelFeed();
    for (const BoardMap& map : boardMaps) std::thread(RunBoard, map).detach();
}

}  // namespace boards
