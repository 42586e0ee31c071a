#include "firmware/pins.h"

#include <avr/io.h>
#include <avr/pgmspace.h>
#include <util/atomic.h>

#include "firmware/limits.h"

namespace fw {

namespace {

// Each pin: its port's index in kPorts (high nibble) and its bit.
#define PIN_AT(port, bit) static_cast<uint8_t>(((port) << 4) | (bit))

#if defined(__AVR_ATmega328P__)
enum { B, C, D };
volatile uint8_t* const kPorts[] = {&PINB, &PINC, &PIND};
const uint8_t kPins[] PROGMEM = {
    PIN_AT(D, 0), PIN_AT(D, 1), PIN_AT(D, 2), PIN_AT(D, 3), PIN_AT(D, 4), PIN_AT(D, 5),
    PIN_AT(D, 6), PIN_AT(D, 7), PIN_AT(B, 0), PIN_AT(B, 1), PIN_AT(B, 2), PIN_AT(B, 3),
    PIN_AT(B, 4), PIN_AT(B, 5), PIN_AT(C, 0), PIN_AT(C, 1), PIN_AT(C, 2), PIN_AT(C, 3),
    PIN_AT(C, 4), PIN_AT(C, 5),
};
#elif defined(__AVR_ATmega2560__)
enum { A, B, C, D, E, F, G, H, J, K, L };
volatile uint8_t* const kPorts[] = {&PINA, &PINB, &PINC, &PIND, &PINE, &PINF,
                                    &PING, &PINH, &PINJ, &PINK, &PINL};
// The Mega's numbering, which follows the headers, not the ports.
const uint8_t kPins[] PROGMEM = {
    PIN_AT(E, 0), PIN_AT(E, 1), PIN_AT(E, 4), PIN_AT(E, 5), PIN_AT(G, 5), PIN_AT(E, 3),  // 0-5
    PIN_AT(H, 3), PIN_AT(H, 4), PIN_AT(H, 5), PIN_AT(H, 6), PIN_AT(B, 4), PIN_AT(B, 5),  // 6-11
    PIN_AT(B, 6), PIN_AT(B, 7), PIN_AT(J, 1), PIN_AT(J, 0), PIN_AT(H, 1), PIN_AT(H, 0),  // 12-17
    PIN_AT(D, 3), PIN_AT(D, 2), PIN_AT(D, 1), PIN_AT(D, 0),                              // 18-21
    PIN_AT(A, 0), PIN_AT(A, 1), PIN_AT(A, 2), PIN_AT(A, 3), PIN_AT(A, 4), PIN_AT(A, 5),  // 22-27
    PIN_AT(A, 6), PIN_AT(A, 7), PIN_AT(C, 7), PIN_AT(C, 6), PIN_AT(C, 5), PIN_AT(C, 4),  // 28-33
    PIN_AT(C, 3), PIN_AT(C, 2), PIN_AT(C, 1), PIN_AT(C, 0), PIN_AT(D, 7), PIN_AT(G, 2),  // 34-39
    PIN_AT(G, 1), PIN_AT(G, 0), PIN_AT(L, 7), PIN_AT(L, 6), PIN_AT(L, 5), PIN_AT(L, 4),  // 40-45
    PIN_AT(L, 3), PIN_AT(L, 2), PIN_AT(L, 1), PIN_AT(L, 0), PIN_AT(B, 3), PIN_AT(B, 2),  // 46-51
    PIN_AT(B, 1), PIN_AT(B, 0), PIN_AT(F, 0), PIN_AT(F, 1), PIN_AT(F, 2), PIN_AT(F, 3),  // 52-57
    PIN_AT(F, 4), PIN_AT(F, 5), PIN_AT(F, 6), PIN_AT(F, 7), PIN_AT(K, 0), PIN_AT(K, 1),  // 58-63
    PIN_AT(K, 2), PIN_AT(K, 3), PIN_AT(K, 4), PIN_AT(K, 5), PIN_AT(K, 6), PIN_AT(K, 7),  // 64-69
};
#else
#error "board pins: ATmega328P or ATmega2560"
#endif

static_assert(sizeof kPins == kPinLimit, "every pin the rules allow has its port and bit");

// Changes a DDR or PORT bit without racing the timer interrupt's reads, and
// on the Mega's upper ports, which take no single-bit instructions.
void SetBit(volatile uint8_t* reg, uint8_t mask, bool on) {
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
        if (on)
            *reg |= mask;
        else
            *reg &= static_cast<uint8_t>(~mask);
    }
}

}  // namespace

bool PinUsable(uint8_t number) { return board_rules::PinInRange(number, kMcu); }

Pin PinOf(uint8_t number) {
    const uint8_t code = pgm_read_byte(&kPins[number]);
    return Pin{kPorts[code >> 4], static_cast<uint8_t>(1u << (code & 7))};
}

void PinInputPullUp(const Pin& p) {
    SetBit(DdrOf(p), p.mask, false);
    SetBit(PortOf(p), p.mask, true);
}

void PinOutput(const Pin& p, bool high) {
    SetBit(PortOf(p), p.mask, high);
    SetBit(DdrOf(p), p.mask, true);
}

void PinWrite(const Pin& p, bool high) { SetBit(PortOf(p), p.mask, high); }

void PinRelease(const Pin& p) {
    SetBit(DdrOf(p), p.mask, false);
    SetBit(PortOf(p), p.mask, false);
}

}  // namespace fw
