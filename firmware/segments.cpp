#include "firmware/segments.h"

namespace fw {

namespace {

// Segment bits for the MAX7219 without decoding.
enum : uint8_t { A = 0x40, B = 0x20, C = 0x10, D = 0x08, E = 0x04, F = 0x02, G = 0x01 };

const uint8_t kDigitGlyphs[10] = {
    A | B | C | D | E | F, B | C,         A | B | D | E | G,     A | B | C | D | G, B | C | F | G,
    A | C | D | F | G,     A | C | D | E | F | G, A | B | C,     A | B | C | D | E | F | G,
    A | B | C | D | F | G,
};

// Letters as seven segments can draw them; some borrow a neighbour's shape
// (K as H, M as n, W as u, X as H) rather than stay dark.
const uint8_t kLetterGlyphs[26] = {
    A | B | C | E | F | G,  // A
    C | D | E | F | G,      // b
    A | D | E | F,          // C
    B | C | D | E | G,      // d
    A | D | E | F | G,      // E
    A | E | F | G,          // F
    A | C | D | E | F,      // G
    B | C | E | F | G,      // H
    E | F,                  // I
    B | C | D | E,          // J
    B | C | E | F | G,      // K
    D | E | F,              // L
    A | C | E,              // M
    C | E | G,              // n
    C | D | E | G,          // o
    A | B | E | F | G,      // P
    A | B | C | F | G,      // q
    E | G,                  // r
    A | C | D | F | G,      // S
    D | E | F | G,          // t
    B | C | D | E | F,      // U
    C | D | E,              // v
    B | D | F,              // W
    B | C | E | F | G,      // X
    B | C | D | F | G,      // y
    A | B | D | E | G,      // Z
};

}  // namespace

const char kGlyphChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-";

uint8_t Glyph(char c) {
    if (c >= '0' && c <= '9') return kDigitGlyphs[c - '0'];
    if (c >= 'A' && c <= 'Z') return kLetterGlyphs[c - 'A'];
    if (c >= 'a' && c <= 'z') return kLetterGlyphs[c - 'a'];
    if (c == '-') return G;
    return 0;
}

void LayOutText(const char* text, uint8_t length, uint8_t digits[8]) {
    for (uint8_t i = 0; i < 8; ++i) digits[i] = 0;
    uint8_t digit = 0;
    // From the right: a "." marks the character before it, if there is one.
    for (int i = length - 1; i >= 0 && digit < 8; --i) {
        uint8_t glyph = 0;
        if (text[i] == '.') {
            glyph = kSegmentPoint;
            if (i > 0 && text[i - 1] != '.') glyph |= Glyph(text[--i]);
        } else {
            glyph = Glyph(text[i]);
        }
        digits[digit++] = glyph;
    }
}

}  // namespace fw
