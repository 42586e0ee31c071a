// Arduino digital pin numbers on the board's ports.
#pragma once

#include <stdint.h>

namespace fw {

struct Pin {
    volatile uint8_t* in;  // PINx; DDRx and PORTx follow it
    uint8_t mask;
};

// True for the pins a configuration may use: not the UART's 0 and 1.
bool PinUsable(uint8_t number);
Pin PinOf(uint8_t number);

inline volatile uint8_t* DdrOf(const Pin& p) { return p.in + 1; }
inline volatile uint8_t* PortOf(const Pin& p) { return p.in + 2; }
inline bool PinHigh(const Pin& p) { return (*p.in & p.mask) != 0; }

void PinInputPullUp(const Pin& p);
void PinOutput(const Pin& p, bool high);
void PinWrite(const Pin& p, bool high);
// Back to a floating input, as after reset.
void PinRelease(const Pin& p);

}  // namespace fw
