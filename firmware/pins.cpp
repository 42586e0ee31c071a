#include "firmware/pins.h"

#include "firmware/pin_map.h"

#include <avr/io.h>
#include <avr/pgmspace.h>
#include <util/atomic.h>

#include "firmware/limits.h"

namespace fw {

namespace {

#if defined(__AVR_ATmega328P__)
using namespace uno;
volatile uint8_t* const kPorts[] = {&PINB, &PINC, &PIND};
#elif defined(__AVR_ATmega2560__)
using namespace mega;
volatile uint8_t* const kPorts[] = {&PINA, &PINB, &PINC, &PIND, &PINE, &PINF,
                                    &PING, &PINH, &PINJ, &PINK, &PINL};
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
