// Learn's classifier, for every kind of input device: what the builder's
// working of an input looks like (button, switch, or one half of an
// encoder). A board's pins and a controller's buttons alike arrive as
// closed/open changes with a time. Pure: no I/O.
#pragma once
#include <cstdint>
#include <vector>

#include "model/setup_desk.h"

namespace inputs {

// A press that opens again within this is a button; a level that holds
// this long after a change is a switch.
constexpr std::int64_t kLearnHoldMs = 1000;
// Four changes of an encoder's detent lie within this.
constexpr std::int64_t kLearnDetentMs = 1000;
// A USB encoder board's pulse is shorter than this; a finger's press
// rarely is.
constexpr std::int64_t kLearnPulseMs = 80;
// A pulse encoder turned one way and then back: the two pulses lie within this.
constexpr std::int64_t kLearnTurnBackMs = 2000;

// The builder's inputs as Learn has seen them.
struct LearnEvent {
    int pin = 0;  // a board's pin, a controller's button
    bool closed = false;
    std::int64_t ms = 0;
};
struct LearnState {
    // A controller's buttons: two that pulse briefly in turn are an encoder
    // too (a USB encoder board pulses one button per direction). A board's
    // pins are raw contacts: only quadrature.
    bool pulsePairs = false;
    std::vector<model::LearnPin> pins;    // in the order first seen
    std::vector<std::int64_t> changedMs;  // by pins' index
    std::vector<LearnEvent> recent;       // the last few changes, any pin
};
// A closed or open report for `pin` at `nowMs`.
void LearnInput(LearnState* s, int pin, bool closed, std::int64_t nowMs);
// A switch's position as the device reports it when Learn begins: no change.
void LearnLevel(LearnState* s, int pin, bool closed);
// A level held since its last change turns into a switch; true when an
// offer changed.
bool LearnTick(LearnState* s, std::int64_t nowMs);
// When LearnTick next has something to do, or -1.
std::int64_t LearnNextDue(const LearnState* s);

}  // namespace inputs
