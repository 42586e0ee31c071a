// Seven-segment glyphs and the layout of a display text on 8 digits, as
// the MAX7219 takes them with its decoding off: bit 7 the decimal point,
// bits 6..0 segments A..G.
#pragma once

#include <stdint.h>

namespace fw {

const uint8_t kSegmentPoint = 0x80;

// The glyph of a text character (letters in either case); blank when none.
uint8_t Glyph(char c);

// The characters that have a glyph, in the order a reader should prefer them
// when two share one (digits before the letters that look like them).
extern const char kGlyphChars[];

// Lays out a checked display text right-aligned: digits[0] is the rightmost
// digit (the MAX7219's digit 0), unused digits blank.
void LayOutText(const char* text, uint8_t length, uint8_t digits[8]);

}  // namespace fw
