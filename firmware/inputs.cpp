#include "firmware/inputs.h"

#include <avr/interrupt.h>
#include <avr/io.h>
#include <util/atomic.h>

namespace fw {

namespace {

// Inputs are sampled every other tick, every 0.5 ms. A new level counts once
// it has held for 5 ms, that is 11 samples in a row: 10 could span a closure
// of only 4.5 ms.
const uint8_t kDebounceSamples = 11;

struct Input {
    Pin pin;
    uint8_t number;
    bool is_switch;
    bool primed;  // sampled once: its level is known
    bool down;    // debounced
    uint8_t run;  // samples the other level has held
    // Debounced changes not yet taken by the main loop. Kept per input
    // rather than in a shared queue, so that no number of inputs changing
    // together can crowd a change out.
    uint8_t changes;
};

struct Encoder {
    Pin a, b;
    uint8_t pin_a;
    bool primed;       // sampled once: its rest is known
    uint8_t rest;      // the A/B state at a detent
    uint8_t state;     // the last A/B state
    int8_t quarters;   // transitions since the last detent
    int16_t detents;   // not yet taken
};

Input inputs[kMaxInputs];
Encoder encoders[kMaxEncoders];
volatile uint8_t input_count, encoder_count;

volatile uint16_t ticks;

// Quarter steps for (old state << 2 | new state), state = A << 1 | B.
// A leading B (A falls first from rest) counts up.
const int8_t kQuadrature[16] = {
    0,  -1, +1, 0,   // from 00
    +1, 0,  0,  -1,  // from 01
    -1, 0,  0,  +1,  // from 10
    0,  +1, -1, 0,   // from 11
};

uint8_t ReadState(const Encoder& e) {
    return static_cast<uint8_t>((PinHigh(e.a) ? 2 : 0) | (PinHigh(e.b) ? 1 : 0));
}

void SampleEncoders() {
    for (uint8_t i = 0; i < encoder_count; ++i) {
        Encoder& e = encoders[i];
        const uint8_t now = ReadState(e);
        // The first sample, a tick after the pull-ups were switched on and
        // the lines have risen, is the encoder's rest.
        if (!e.primed) {
            e.primed = true;
            e.state = e.rest = now;
            continue;
        }
        if (now == e.state) continue;
        e.quarters = static_cast<int8_t>(e.quarters + kQuadrature[(e.state << 2) | now]);
        e.state = now;
        // Counted at the detent only, so a contact's bounce and a knob
        // turned half-way and back count nothing.
        if (now == e.rest) {
            const int8_t q = e.quarters;
            e.detents = static_cast<int16_t>(e.detents + (q + (q > 0 ? 2 : -2)) / 4);
            e.quarters = 0;
        }
    }
}

void SampleInputs() {
    for (uint8_t i = 0; i < input_count; ++i) {
        Input& in = inputs[i];
        const bool down = !PinHigh(in.pin);
        if (!in.primed) {
            in.primed = true;
            in.down = down;
            continue;
        }
        if (down == in.down) {
            in.run = 0;
            continue;
        }
        if (++in.run < kDebounceSamples) continue;
        in.run = 0;
        in.down = down;
        // Saturates keeping the parity, so the level last reported still
        // ends where the input is: only a press and release merge away.
        in.changes = in.changes == 255 ? 254 : static_cast<uint8_t>(in.changes + 1);
    }
}

}  // namespace

void InputsInit() {
    // Timer 2, CTC: 16 MHz / 32 / 125 = 4 kHz.
    TCCR2A = _BV(WGM21);
    TCCR2B = _BV(CS21) | _BV(CS20);
    OCR2A = 124;
    TIMSK2 = _BV(OCIE2A);
}

uint16_t Ticks() {
    uint16_t t;
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE) { t = ticks; }
    return t;
}

void AddInput(uint8_t number, bool is_switch) {
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
        Input& in = inputs[input_count];
        in.pin = PinOf(number);
        in.number = number;
        in.is_switch = is_switch;
        in.primed = false;
        in.down = false;
        in.run = 0;
        in.changes = 0;
        input_count = input_count + 1;
    }
}

void AddEncoder(uint8_t pin_a, uint8_t pin_b) {
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
        Encoder& e = encoders[encoder_count];
        e.a = PinOf(pin_a);
        e.b = PinOf(pin_b);
        e.pin_a = pin_a;
        e.primed = false;
        e.quarters = 0;
        e.detents = 0;
        encoder_count = encoder_count + 1;
    }
}

void ClearInputs() {
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
        input_count = 0;
        encoder_count = 0;
    }
}

uint8_t InputCount() { return input_count; }
uint8_t EncoderCount() { return encoder_count; }

uint8_t TakeInputChanges(uint8_t index, uint8_t& number, bool& down) {
    uint8_t changes;
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
        number = inputs[index].number;
        down = inputs[index].down;
        changes = inputs[index].changes;
        inputs[index].changes = 0;
    }
    return changes;
}

bool InputIsSwitch(uint8_t index) { return inputs[index].is_switch; }

int16_t TakeDetents(uint8_t index, uint8_t& pin_a) {
    int16_t d;
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
        d = encoders[index].detents;
        // At most 99 a line; the rest waits for the next.
        if (d > 99) d = 99;
        if (d < -99) d = -99;
        encoders[index].detents = static_cast<int16_t>(encoders[index].detents - d);
    }
    pin_a = encoders[index].pin_a;
    return d;
}

}  // namespace fw

using namespace fw;

ISR(TIMER2_COMPA_vect) {
    SampleEncoders();
    ticks = ticks + 1;
    if ((ticks & 1) == 0) SampleInputs();
}
