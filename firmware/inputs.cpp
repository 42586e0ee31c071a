#include "firmware/inputs.h"

#include <avr/interrupt.h>
#include <avr/io.h>
#include <util/atomic.h>

namespace fw {

namespace {

// A level must hold for this many 1 ms samples.
const uint8_t kDebounceSamples = 5;

struct Input {
    Pin pin;
    uint8_t number;
    bool is_switch;
    bool primed;  // sampled once: its level is known
    bool down;    // debounced
    uint8_t run;  // samples the other level has held
};

struct Encoder {
    Pin a, b;
    uint8_t pin_a;
    uint8_t rest;      // the A/B state at a detent
    uint8_t state;     // the last A/B state
    int8_t quarters;   // transitions since the last detent
    int16_t detents;   // not yet taken
};

Input inputs[kMaxInputs];
Encoder encoders[kMaxEncoders];
volatile uint8_t input_count, encoder_count;

// Debounced changes, for the main loop, so that no press is lost however
// short it is.
const uint8_t kEventSize = 32;
volatile uint8_t events[kEventSize];  // input index, bit 7 = down
volatile uint8_t event_head, event_tail;

volatile uint16_t millis;
uint8_t tick;

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
        const uint8_t next = (event_head + 1) & (kEventSize - 1);
        if (next != event_tail) {
            events[event_head] = static_cast<uint8_t>(i | (down ? 0x80 : 0));
            event_head = next;
        }
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

uint16_t Millis() {
    uint16_t m;
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE) { m = millis; }
    return m;
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
        input_count = input_count + 1;
    }
}

void AddEncoder(uint8_t pin_a, uint8_t pin_b) {
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
        Encoder& e = encoders[encoder_count];
        e.a = PinOf(pin_a);
        e.b = PinOf(pin_b);
        e.pin_a = pin_a;
        e.state = e.rest = ReadState(e);
        e.quarters = 0;
        e.detents = 0;
        encoder_count = encoder_count + 1;
    }
}

void ClearInputs() {
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
        input_count = 0;
        encoder_count = 0;
        event_head = event_tail = 0;
    }
}

uint8_t InputCount() { return input_count; }
uint8_t EncoderCount() { return encoder_count; }

bool NextInputEvent(InputEvent& event) {
    if (event_head == event_tail) return false;
    const uint8_t e = events[event_tail];
    event_tail = (event_tail + 1) & (kEventSize - 1);
    event.number = inputs[e & 0x7f].number;
    event.down = (e & 0x80) != 0;
    return true;
}

bool InputIsSwitch(uint8_t index, uint8_t& number, bool& down) {
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
        number = inputs[index].number;
        down = inputs[index].down;
    }
    return inputs[index].is_switch;
}

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
    if (++tick == 4) {
        tick = 0;
        millis = millis + 1;
        SampleInputs();
    }
}
