// The rules of the board line protocol that both ends apply: the program
// (boards/, the parameter file) and the board's firmware compile this same
// header, so the two can never disagree. The firmware builds it with
// avr-gcc as C++14 without a standard library: header-only, constexpr, and
// nothing beyond <stdint.h>.
#pragma once

#include <stdint.h>

namespace board_rules {

// A line holds at most this many characters before its "\n", the "*HH"
// included (a "\r" may come on top).
constexpr uint8_t kLineMax = 64;
constexpr uint8_t kNameMax = 16;
constexpr uint8_t kDisplayDigits = 8;
constexpr int kProtocolVersion = 1;
// An encoder's reports are more than this apart; the first detent after a
// pause is reported at once. So the detents of one report came within this
// of each other: two or more are a turn of 15 detents a second or faster,
// by the board's own clock, however late the lines reach the program.
constexpr uint8_t kEncoderReportMs = 66;

// Pins 0 and 1 carry the serial line; the highest pin depends on the MCU.
constexpr uint8_t kPinFirst = 2;

// What one board can serve.
struct McuLimits {
    uint8_t pinLimit;  // pins are kPinFirst .. pinLimit - 1
    uint8_t inputs;    // buttons and switches
    uint8_t encoders;
    uint8_t leds;
    uint8_t displays;
};
constexpr McuLimits kAtmega328p{20, 16, 4, 8, 2};   // Uno, Nano
constexpr McuLimits kAtmega2560{70, 48, 8, 16, 4};  // Mega
// The program does not know which board it talks to: it allows the largest.
constexpr McuLimits kLargest = kAtmega2560;

constexpr bool PinInRange(int pin, const McuLimits& mcu) { return pin >= kPinFirst && pin < mcu.pinLimit; }

// The checksum is the XOR of every byte before the "*".
constexpr uint8_t Checksum(const char* body, uint8_t length) {
    uint8_t sum = 0;
    for (uint8_t i = 0; i < length; ++i) sum = static_cast<uint8_t>(sum ^ static_cast<uint8_t>(body[i]));
    return sum;
}

// The checksum's digits are upper case, both ways.
constexpr char HexDigit(uint8_t nibble) {
    return static_cast<char>(nibble < 10 ? '0' + nibble : 'A' + (nibble - 10));
}
// -1 for anything but 0-9 and A-F.
constexpr int HexValue(char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// Only printable ASCII travels in a line body: anything else is noise.
constexpr bool LineChar(char c) { return c >= 0x20 && c <= 0x7e; }

constexpr bool NameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}
// A board name: 1..16 of [a-z0-9_-], but not a lone "-", which is what a
// board without a name says in its hello.
constexpr bool ValidName(const char* name, uint8_t length) {
    if (length == 0 || length > kNameMax || (length == 1 && name[0] == '-')) return false;
    for (uint8_t i = 0; i < length; ++i)
        if (!NameChar(name[i])) return false;
    return true;
}

// What a 7-segment digit can draw; "." is a decimal point, not a digit.
constexpr bool DisplayChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == ' ';
}
// A "." after another character lights that digit's point and takes none.
constexpr bool SharesDigit(const char* text, uint8_t i) { return text[i] == '.' && i > 0 && text[i - 1] != '.'; }
constexpr uint8_t TextDigits(const char* text, uint8_t length) {
    uint8_t digits = 0;
    for (uint8_t i = 0; i < length; ++i)
        if (!SharesDigit(text, i)) ++digits;
    return digits;
}
// A display text a board takes: drawable characters and points, 8 digits.
constexpr bool ValidDisplayText(const char* text, uint8_t length) {
    for (uint8_t i = 0; i < length; ++i)
        if (!DisplayChar(text[i]) && text[i] != '.') return false;
    return TextDigits(text, length) <= kDisplayDigits;
}

}  // namespace board_rules
