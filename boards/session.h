// A board's session as a pure state machine: the bytes the port delivered,
// the clock, the panels' changes and the set-up page's requests go in; the
// lines to write, the commands to post, the log lines and "close the port"
// come out, in the order they must happen. The threads only drive it over
// the port, so every rule of talking to a board (hello, name, configuration,
// READY, ping and silence, lost and back, encoder pace, and set-up's probing,
// naming and Learn) holds without a port.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "boards/encoder_pace.h"
#include "boards/learn.h"
#include "boards/line.h"
#include "boards/mapping.h"
#include "model/setup_desk.h"
#include "platform/dialog.h"
#include "platform/serial.h"

namespace boards {

// The line's speed, the same for every board.
constexpr int kBaud = 115200;

constexpr std::int64_t kRetryMs = 2000;       // the port opened again after this
constexpr std::int64_t kBootMs = 2000;        // the boot loader after the port opened
constexpr std::int64_t kHelloAskMs = 2500;    // asked again this often until it answers
constexpr std::int64_t kHelloMs = 5000;       // no hello by then: a log line
constexpr std::int64_t kReadyMs = 3000;       // configuration sent again without READY
constexpr std::int64_t kBadLinesLogMs = 10000;
// A quiet board is pinged; one silent this long counts as lost. Some ports
// never report a board that went away (a USB adapter left plugged in, a
// serial port under Wine), so silence is the only sign.
constexpr std::int64_t kPingMs = 1000;
constexpr std::int64_t kSilentMs = 3500;
// A running board is asked for its bad-line count on connecting and this often.
constexpr std::int64_t kStatsMs = 10000;
// Set-up asks a port for its hello after the boot loader's time, then this
// often, and gives it up after kProbeMs; a NAME is confirmed within kNamedMs.
constexpr std::int64_t kProbeAskMs = 1000;
constexpr std::int64_t kProbeMs = 4000;
constexpr std::int64_t kNamedMs = 1000;
// A Learn configuration line unanswered this long: the board stopped answering.
constexpr std::int64_t kLearnStepMs = 1000;

// One thing for the driver to do.
struct SessionStep {
    enum class Kind {
        Write,   // text: a whole line, checksum and "\n" included
        Press,   // input's target: a button went down (on) or up
        Switch,  // input's target: a switch closed (on) or opened
        Step,    // input's target: an encoder turned `detents` (positive: up), fast when on
        Log,     // text: a log line, without its "\n"
        Close,   // the board is lost: close the port
        // The board was configured: hand SessionSnapshot what the controls
        // it shows show now. Its outputs wait for that.
        Snapshot,
    };
    Kind kind = Kind::Log;
    std::string text;
    std::size_t input = 0;  // index into the map's inputs
    bool on = false;
    int detents = 0;
};
using SessionSteps = std::vector<SessionStep>;

// What the port is open for: the board's normal session, or a set-up task.
// Probing and naming end by closing the port; Learn ends by giving the
// board back to its normal session (mode Run, port closed).
enum class SessionMode { Run, Probe, Name, Learn };
enum class SessionPhase { Closed, Hello, Configure, Running, Unused, Naming };

struct BoardSession {
    const BoardMap* map = nullptr;
    std::string who;  // "Board NAME on PORT"
    SessionMode mode = SessionMode::Run;
    SessionPhase phase = SessionPhase::Closed;
    // Each reason the port would not open is logged once, and again only
    // after another; after a loss, its own line has said the port is gone.
    platform::SerialOpen openFailureLogged = platform::SerialOpen::Ok;
    // Of the present connection.
    std::int64_t openedMs = 0;
    std::int64_t askedMs = 0;    // last HELLO sent
    std::int64_t configMs = 0;   // configuration sent
    std::int64_t heardMs = 0;    // a byte last came from the board
    std::int64_t pingMs = 0;
    std::uint16_t pingCount = 0;
    bool helloLogged = false;
    bool readyLogged = false;
    LineSplitter splitter;
    std::uint64_t malformed = 0, unknown = 0, badLogged = 0;
    std::int64_t badLoggedMs = 0;
    std::vector<EncoderPace> paces;   // by input index
    std::vector<bool> refusalLogged;  // by input index
    // By output index: the line the panels call for, and what the board shows.
    std::vector<std::string> wanted;
    std::vector<std::string> shown;
    std::vector<bool> shownValid;
    bool snapshotDue = false;  // asked for on READY, not yet handed
    // What the set-up page shows of the board; the driver publishes changes.
    model::BoardState state = model::BoardState::Starting;
    std::string heardName;           // the name of a board that is not this one
    int version = 0;                 // the last hello's
    long badLines = -1;              // the last STATS answer
    std::string lastInput;           // "D 7", "E 4 -1"
    std::int64_t statsMs = 0;        // STATS last asked
    bool askStats = false;           // ask STATS on READY and every kStatsMs
    // Set-up's tasks. Probe: what answered. Name: the name to store, and
    // whether it was (else why not).
    model::FoundPort found;
    std::string nameWanted;
    bool named = false;
    std::string why;
    std::int64_t stepMs = 0;  // NAME sent, or Learn's last configuration answer
    // Learn: what the page shows, the paced configuration, the builder's inputs.
    model::LearnView learn;
    LearnPacer pacer;
    LearnState learnState;
    IdentifyPins identify;
    std::vector<int> identifyNext;  // asked for; applied once configured
    bool identifyWanted = false;
    std::vector<int> switchesUnseen;  // mapped switches whose first report is their position
};

// A session for `map`, which must outlive it; nothing is open yet.
void SessionInit(BoardSession* s, const BoardMap* map);
// The port would not open, for `why`.
void SessionOpenFailed(BoardSession* s, platform::SerialOpen why, SessionSteps* out);
void SessionOpened(BoardSession* s, std::int64_t nowMs);
// The port is closed, by a Close step or because reading or writing failed.
void SessionLost(BoardSession* s, SessionSteps* out);
// Bytes read from the port (may be empty: then only the clock moved).
void SessionBytes(BoardSession* s, std::string_view data, std::int64_t nowMs, SessionSteps* out);
// The timed part: call it after every read, and by SessionNextDue at the
// latest.
void SessionTick(BoardSession* s, std::int64_t nowMs, SessionSteps* out);
// When SessionTick next has something to do by the clock alone (a hello to
// ask, a ping, silence, a log line), or -1 when nothing is timed: the
// driver sleeps until then unless bytes or a panel change come first.
std::int64_t SessionNextDue(const BoardSession* s);
// What a panel control now shows: a value field's text, a check box's state.
void SessionPanelText(BoardSession* s, int controlId, std::string_view text, SessionSteps* out);
void SessionPanelCheck(BoardSession* s, int controlId, bool checked, SessionSteps* out);
// The answer to a Snapshot step: the present state of the controls the
// board's outputs show. Every output is sent anew from it.
void SessionSnapshot(BoardSession* s, const std::vector<platform::ControlState>& states, SessionSteps* out);
// A posted command was refused (logged once an input and connection).
void SessionRefused(BoardSession* s, std::size_t input, const char* why, SessionSteps* out);

// Set-up's tasks, before the port is opened (session_setup.cpp).
// Probe: s->found says what answered once the port is closed again.
void SessionProbe(BoardSession* s);
// Name: s->named, or s->why, once the port is closed again.
void SessionName(BoardSession* s, std::string name);
// Learn: every free pin watched as a button, the builder's inputs in s->learn.
void SessionLearn(BoardSession* s, SessionSteps* out);
// Learn: light `pins` (one LED, or a display's DIN CLK CS) once configured.
void SessionIdentify(BoardSession* s, std::vector<int> pins, std::int64_t nowMs, SessionSteps* out);
// The page is done with Learn: the board's normal session takes it again.
void SessionLearnDone(BoardSession* s, SessionSteps* out);
// What the page shows of Learn now.
model::LearnView SessionLearnView(const BoardSession* s);

}  // namespace boards
