// The board line protocol as data: checksums, the board's lines parsed, the
// program's lines formatted, and a byte stream cut into lines. No I/O here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/board_rules.h"

namespace boards {

constexpr std::size_t kLineMax = board_rules::kLineMax;  // characters before "\n"
constexpr int kProtocolVersion = board_rules::kProtocolVersion;

// XOR of every byte of `body`.
std::uint8_t Checksum(std::string_view body);

// `body` + "*HH\n".
std::string FormatLine(std::string_view body);

enum class Verb { Hello, Down, Up, Encoder, Ready, Err, Pong, Named, Stats };

struct BoardLine {
    Verb verb = Verb::Hello;
    int a = 0;         // Hello: version; Down, Up: pin; Encoder: pin A; Ready, Pong: n; Stats: bad lines
    int b = 0;         // Encoder: delta (-99..99, never 0)
    std::string text;  // Hello, Named: the name ("-" when none); Err: the reason
};

enum class ParseResult { Ok, Malformed, Unknown };

// One line from a board, without its "\n" (a trailing "\r" is allowed).
// Unknown: the checksum holds but the verb is not one a board sends.
// Malformed: anything else that is not a well-formed line.
ParseResult ParseBoardLine(std::string_view line, BoardLine* out);

// A board name: 1-16 of a-z, 0-9, "_" and "-", not a lone "-" (no name).
bool ValidBoardName(std::string_view name);

// What a 7-segment display can show of a value field's text: blanks at
// both ends dropped, characters it cannot draw as "-", at most 8 digits
// ("." lights the previous digit's point and takes none).
std::string DisplayText(std::string_view shown);

// Cuts a byte stream into lines. A line longer than kLineMax is dropped
// whole and counted as malformed.
struct LineSplitter {
    std::string pending;
    bool overlong = false;
    std::uint64_t overlongLines = 0;
};
// Takes the next complete line out of `data` (advancing it); false when
// `data` ends first (the rest is kept for the next call).
bool NextLine(LineSplitter* splitter, std::string_view* data, std::string* line);

}  // namespace boards
