#include "inputs/learn.h"

namespace inputs {
namespace {

constexpr std::size_t kRecentMax = 4;

std::size_t PinIndex(LearnState* s, int pin) {
    for (std::size_t i = 0; i < s->pins.size(); ++i)
        if (s->pins[i].pin == pin) return i;
    model::LearnPin p;
    p.pin = pin;
    s->pins.push_back(p);
    s->changedMs.push_back(0);
    return s->pins.size() - 1;
}

// The last four changes are one pin closing, the other closing, the first
// opening, the other opening: a detent of an encoder, the first pin its A.
bool Quadrature(const LearnEvent* e) {
    if (e[0].pin == e[1].pin || e[2].pin != e[0].pin || e[3].pin != e[1].pin) return false;
    if (!e[0].closed || !e[1].closed || e[2].closed || e[3].closed) return false;
    return e[3].ms - e[0].ms <= kLearnDetentMs;
}

// One button's short pulse, then the other's: a pulse encoder turned one
// way and then back, the first pulsed its up (clockwise) button.
bool Pulses(const LearnEvent* e) {
    if (e[0].pin == e[2].pin || e[1].pin != e[0].pin || e[3].pin != e[2].pin) return false;
    if (!e[0].closed || e[1].closed || !e[2].closed || e[3].closed) return false;
    return e[1].ms - e[0].ms <= kLearnPulseMs && e[3].ms - e[2].ms <= kLearnPulseMs &&
           e[3].ms - e[0].ms <= kLearnTurnBackMs;
}

void FindEncoder(LearnState* s) {
    if (s->recent.size() < kRecentMax) return;
    const LearnEvent* e = s->recent.data() + s->recent.size() - kRecentMax;
    const bool pulses = s->pulsePairs && Pulses(e);
    if (!pulses && !Quadrature(e)) return;
    const int a = e[0].pin, b = pulses ? e[2].pin : e[1].pin;
    model::LearnPin& pa = s->pins[PinIndex(s, a)];
    model::LearnPin& pb = s->pins[PinIndex(s, b)];
    // The first turn seen decides: later turns either way keep the pair.
    if (pa.offer == model::PinOffer::Encoder || pb.offer == model::PinOffer::Encoder) return;
    pa.offer = pb.offer = model::PinOffer::Encoder;
    pa.pairPin = b;
    pb.pairPin = a;
    pa.encoderA = true;
    pb.encoderA = false;
    pa.pulses = pb.pulses = pulses;
}

}  // namespace

void LearnInput(LearnState* s, int pin, bool closed, std::int64_t nowMs) {
    const std::size_t i = PinIndex(s, pin);
    model::LearnPin& p = s->pins[i];
    // Opening again soon after closing: a press.
    if (!closed && p.closed && p.changes > 0 && nowMs - s->changedMs[i] <= kLearnHoldMs &&
        p.offer != model::PinOffer::Encoder)
        p.offer = model::PinOffer::Button;
    p.closed = closed;
    ++p.changes;
    s->changedMs[i] = nowMs;
    s->recent.push_back(LearnEvent{pin, closed, nowMs});
    if (s->recent.size() > kRecentMax) s->recent.erase(s->recent.begin());
    FindEncoder(s);
}

void LearnLevel(LearnState* s, int pin, bool closed) { s->pins[PinIndex(s, pin)].closed = closed; }

bool LearnTick(LearnState* s, std::int64_t nowMs) {
    bool changed = false;
    for (std::size_t i = 0; i < s->pins.size(); ++i) {
        model::LearnPin& p = s->pins[i];
        if (p.offer == model::PinOffer::Unknown && p.changes > 0 && nowMs - s->changedMs[i] >= kLearnHoldMs) {
            p.offer = model::PinOffer::Switch;
            changed = true;
        }
    }
    return changed;
}

std::int64_t LearnNextDue(const LearnState* s) {
    std::int64_t due = -1;
    for (std::size_t i = 0; i < s->pins.size(); ++i)
        if (s->pins[i].offer == model::PinOffer::Unknown && s->pins[i].changes > 0) {
            const std::int64_t t = s->changedMs[i] + kLearnHoldMs;
            due = due < 0 || t < due ? t : due;
        }
    return due;
}

}  // namespace inputs
