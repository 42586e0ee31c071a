// MAX7219 8-digit displays, bit-banged on any three pins.
#pragma once

#include <stdint.h>

#include "firmware/pins.h"

namespace fw {

struct Max7219 {
    Pin din, clk, cs;
};

// Sets the pins up and the chip to 8 raw digits, all dark.
void Max7219Start(const Max7219& d);
// digits[0] is the rightmost digit.
void Max7219Show(const Max7219& d, const uint8_t digits[8]);
// Dark and in shutdown, the pins released.
void Max7219Stop(const Max7219& d);

}  // namespace fw
