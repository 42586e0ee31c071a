// Reads a MAX7219's digits back from the levels of its DIN, CLK and CS pins.
#pragma once

#include <cstdint>
#include <string>

namespace boardsim {

struct Max7219Decoder {
    int din = -1, clk = -1, cs = -1;  // pin numbers
    int din_level = 0, clk_level = 0, cs_level = 1;
    uint32_t shift = 0;
    int bits = 0;
    uint8_t digits[8] = {};  // digit 0 is the rightmost
    bool on = false;         // out of shutdown
};

// A pin's new level; data is shifted in on CLK rising while CS is low, and
// the last 16 bits are taken when CS rises.
void Max7219Pin(Max7219Decoder& d, int pin, int level);

// The 8 digits as text, leftmost first: a character per digit ("?" for a
// pattern no character draws), "." after a digit whose point is lit. Blank
// while shut down.
std::string Max7219Text(const Max7219Decoder& d);

}  // namespace boardsim
