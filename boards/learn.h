// Learn, as pure parts: what a board in Learn is configured with, sent so
// that its receive buffer never overflows. What the builder's working of
// its pins looks like is the classifier in inputs/. No I/O here.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "boards/line.h"
#include "boards/mapping.h"
#include "inputs/learn.h"

namespace boards {

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

// A board's pins are classified as every device's inputs are.
using inputs::kLearnDetentMs;
using inputs::kLearnHoldMs;
using inputs::LearnEvent;
using inputs::LearnInput;
using inputs::LearnLevel;
using inputs::LearnNextDue;
using inputs::LearnState;
using inputs::LearnTick;

}  // namespace boards
