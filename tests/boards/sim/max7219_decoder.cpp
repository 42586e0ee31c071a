#include "tests/boards/sim/max7219_decoder.h"

#include "firmware/segments.h"

namespace boardsim {

void Max7219Pin(Max7219Decoder& d, int pin, int level) {
    if (pin == d.din) d.din_level = level;
    if (pin == d.clk) {
        if (level && !d.clk_level && !d.cs_level) {
            d.shift = (d.shift << 1) | static_cast<uint32_t>(d.din_level);
            ++d.bits;
        }
        d.clk_level = level;
    }
    if (pin == d.cs) {
        if (!level && d.cs_level) d.bits = 0;
        if (level && !d.cs_level && d.bits >= 16) {
            const int reg = (d.shift >> 8) & 0x0f;
            const uint8_t data = d.shift & 0xff;
            if (reg >= 1 && reg <= 8) d.digits[reg - 1] = data;
            if (reg == 0x0c) d.on = (data & 1) != 0;
        }
        d.cs_level = level;
    }
}

std::string Max7219Text(const Max7219Decoder& d) {
    std::string text;
    for (int i = 7; i >= 0; --i) {
        const uint8_t segments = d.on ? d.digits[i] : 0;
        const uint8_t glyph = segments & static_cast<uint8_t>(~fw::kSegmentPoint);
        char c = glyph == 0 ? ' ' : '?';
        for (const char* p = fw::kGlyphChars; *p != '\0' && c == '?'; ++p)
            if (fw::Glyph(*p) == glyph) c = *p;
        text.push_back(c);
        if (segments & fw::kSegmentPoint) text.push_back('.');
    }
    return text;
}

}  // namespace boardsim
