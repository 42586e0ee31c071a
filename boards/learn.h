// Learn, as pure parts: what a board in Learn is configured with, sent so
// that its receive buffer never overflows, and what the builder's working
// of its inputs looks like (button, switch or encoder). No I/O here.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "boards/line.h"
#include "boards/mapping.h"
#include "model/setup_desk.h"

namespace boards {

// A press that opens again within this is a button; a level that holds
// this long after a change is a switch.
constexpr std::int64_t kLearnHoldMs = 1000;
// Four changes of an encoder's detent lie within this.
constexpr std::int64_t kLearnDetentMs = 1000;
// What Identify shows on a display.
constexpr const char* kIdentifyText = "8.8.8.8.8.8.8.8";

// What Identify lights: one pin as an LED, or three as a display in the
// lowest slot the board's map leaves spare (LearnLines sets it).
struct IdentifyPins {
    std::vector<int> pins;  // empty, {led}, or {din, clk, cs}
    int slot = 0;
};

// The configuration lines of a board in Learn, "CLEAR" to "DONE": its
// present inputs and outputs as they are, every free pin as a button, and
// what Identify lights. `free` receives the button pins, in order.
std::vector<std::string> LearnLines(const BoardMap& map, IdentifyPins* identify, std::vector<int>* free);
// The line that lights what Identify configured ("" when nothing).
std::string IdentifyLine(const IdentifyPins& identify);

// Sends the lines one at a time, each followed by a PING whose PONG says the
// board has read it (and answered ERR before, if it refused it): never more
// than one short line is in the board's buffer.
struct LearnPacer {
    std::vector<std::string> lines;  // bodies, without checksums
    std::size_t next = 0;            // the next to send
    bool waiting = false;            // a PONG is due
    std::uint16_t ping = 0;
    std::vector<int> refused;        // button pins the board would not watch
    bool smallBoard = false;         // pins from the small boards' limit up are skipped
};
void PacerInit(LearnPacer* p, std::vector<std::string> lines);
// The lines to write now (formatted), if any.
std::vector<std::string> PacerNext(LearnPacer* p);
// A line from the board: PONG, ERR.
void PacerHeard(LearnPacer* p, const BoardLine& line);
bool PacerDone(const LearnPacer* p);

// The builder's inputs as Learn has seen them.
struct LearnEvent {
    int pin = 0;
    bool closed = false;
    std::int64_t ms = 0;
};
struct LearnState {
    std::vector<model::LearnPin> pins;  // in the order first seen
    std::vector<std::int64_t> changedMs;  // by pins' index
    std::vector<LearnEvent> recent;       // the last few changes, any pin
};
// A D (closed) or U report for `pin` at `nowMs`.
void LearnInput(LearnState* s, int pin, bool closed, std::int64_t nowMs);
// A switch's position as the board reports it after READY: no change.
void LearnLevel(LearnState* s, int pin, bool closed);
// A level held since its last change turns into a switch; true when an
// offer changed.
bool LearnTick(LearnState* s, std::int64_t nowMs);
// When LearnTick next has something to do, or -1.
std::int64_t LearnNextDue(const LearnState* s);

}  // namespace boards
