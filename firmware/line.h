// The board's line protocol, without any hardware: assembling lines from the
// serial bytes, checking their checksums, splitting them into commands, and
// finishing the lines the board sends. Builds for the AVR and for the host
// (tests, fuzzing, the simulator harness), so it uses only the C library.
#pragma once

#include <stdint.h>

#include "protocol/board_rules.h"

namespace fw {

// Longest line body before the "\n", checksum included.
const uint8_t kMaxLine = board_rules::kLineMax;

struct LineBuffer {
    char text[kMaxLine + 2];  // the line, a "\r" and the NUL
    uint8_t length;
    bool overflow;  // the line under way is too long and is being skipped
    bool complete;  // text holds the last line; the next byte starts anew
};

enum class Feed : uint8_t { None, Line, TooLong };

// Takes one received byte. On Line, buffer.text and length hold the line,
// without its "\r\n", NUL-terminated, until the next call.
Feed FeedByte(LineBuffer& buffer, char byte);

// Checks and strips the "*HH" ending: the body stays in text, NUL-terminated.
// Returns the body's length, or -1 when the checksum is missing or wrong.
int StripChecksum(char* text, uint8_t length);

enum class Verb : uint8_t {
    Bad,  // unknown verb or malformed fields
    Hello,
    Ping,
    Name,
    Clear,
    Button,
    Switch,
    Encoder,
    Led,
    Display,
    Done,
    Light,
    Text,
    Stats,
};

struct Command {
    Verb verb;
    Verb word;  // the verb the first word names, even when the fields are malformed
    uint16_t arg[4];
    const char* text;  // Name and Text: points into the body
    uint8_t text_length;
};

// Splits a checked body into a command. Pin numbers and values are only
// checked to be numbers here (the board knows its own pins); display slots,
// LED levels, names and display texts are checked fully.
Command ParseCommand(const char* body);

// Digits a display text takes: a "." after a character shares its digit.
using board_rules::TextDigits;
const uint8_t kDisplayDigits = board_rules::kDisplayDigits;
const uint8_t kDisplaySlots = 4;

// Appends "*HH\n" to a body of length bytes; returns the new length. The
// buffer must have 4 bytes more than the body.
uint8_t FinishLine(char* text, uint8_t length);

// Appends a decimal number (with "-" when negative); returns the new length.
uint8_t PutNumber(char* text, uint8_t length, int32_t value);
// Appends a NUL-terminated string; returns the new length.
uint8_t PutText(char* text, uint8_t length, const char* word);

// A board name: 1..16 of [a-z0-9_-], not a lone "-".
const uint8_t kMaxName = board_rules::kNameMax;
using board_rules::ValidName;

}  // namespace fw
