// The board line codec: what a board's lines parse to, which are refused and
// how, how a byte stream is cut, what a display can show, and when a knob
// counts as turned fast.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "boards/encoder_pace.h"
#include "boards/line.h"

namespace {

using boards::ParseResult;
using boards::Verb;

TEST(BoardLine, ChecksumIsTheXorOfTheBodyInUpperCaseHex) {
    // The worked example the protocol gives: XOR("PING 7") is 0x07.
    EXPECT_EQ(boards::FormatLine("PING 7"), "PING 7*07\n");
    EXPECT_EQ(boards::FormatLine("L 13 1"), "L 13 1*7F\n");
}

TEST(BoardLine, WellFormedLinesParseToTheirFields) {
    struct Case {
        std::string body;
        Verb verb;
        int a, b;
        std::string text;
    };
    const Case cases[] = {
        {"HELLO ORVB 1 mcp", Verb::Hello, 1, 0, "mcp"},
        {"HELLO ORVB 1 -", Verb::Hello, 1, 0, "-"},
        {"HELLO ORVB 2 over_head-2", Verb::Hello, 2, 0, "over_head-2"},
        {"D 2", Verb::Down, 2, 0, ""},
        {"U 69", Verb::Up, 69, 0, ""},
        {"E 4 -99", Verb::Encoder, 4, -99, ""},
        {"E 4 12", Verb::Encoder, 4, 12, ""},
        {"READY 0", Verb::Ready, 0, 0, ""},
        {"PONG 65535", Verb::Pong, 65535, 0, ""},
        {"ERR full", Verb::Err, 0, 0, "full"},
        {"NAMED mcp", Verb::Named, 0, 0, "mcp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        std::string line = boards::FormatLine(c.body);
        line.pop_back();
        for (const std::string& form : {line, line + "\r"}) {
            boards::BoardLine parsed;
            ASSERT_EQ(boards::ParseBoardLine(form, &parsed), ParseResult::Ok);
            EXPECT_EQ(parsed.verb, c.verb);
            EXPECT_EQ(parsed.a, c.a);
            EXPECT_EQ(parsed.b, c.b);
            EXPECT_EQ(parsed.text, c.text);
        }
    }
}

TEST(BoardLine, BadLinesAreRefusedAndToldApart) {
    auto sum = [](std::string body) {
        std::string line = boards::FormatLine(body);
        line.pop_back();
        return line;
    };
    const std::string good = sum("D 2");
    const struct {
        std::string line;
        ParseResult result;
    } cases[] = {
        {sum("PING 7"), ParseResult::Unknown},  // a program's verb, never a board's
        {sum("FOO"), ParseResult::Unknown},
        {"D 2*00", ParseResult::Malformed},      // wrong checksum
        {"D 8*5c", ParseResult::Malformed},      // lower-case hex: not what a board writes
        {"D 2", ParseResult::Malformed},         // none
        {good.substr(0, good.size() - 1), ParseResult::Malformed},
        {"*00", ParseResult::Malformed},
        {"", ParseResult::Malformed},
        {sum("D  2"), ParseResult::Malformed},   // two spaces
        {sum("D 2 "), ParseResult::Malformed},
        {sum("D 1"), ParseResult::Malformed},    // the serial pins
        {sum("D 70"), ParseResult::Malformed},
        {sum("D +2"), ParseResult::Malformed},
        {sum("D x"), ParseResult::Malformed},
        {sum("E 4 0"), ParseResult::Malformed},
        {sum("E 4 100"), ParseResult::Malformed},
        {sum("E 4"), ParseResult::Malformed},
        {sum("PONG 65536"), ParseResult::Malformed},
        {sum("HELLO ORVB 1 Mcp"), ParseResult::Malformed},
        {sum("HELLO ORVB 1 abcdefghijklmnopq"), ParseResult::Malformed},
        {sum("HELLO ORVX 1 mcp"), ParseResult::Malformed},
        {sum("D 2\t"), ParseResult::Malformed},
        {sum("NAMED " + std::string(50, 'a')), ParseResult::Malformed},  // over 64 in all
        {sum("ERR") , ParseResult::Malformed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        boards::BoardLine parsed;
        parsed.a = 42;
        EXPECT_EQ(boards::ParseBoardLine(c.line, &parsed), c.result);
        EXPECT_EQ(parsed.a, 42);  // never half-filled
    }
    boards::BoardLine parsed;
    EXPECT_EQ(boards::ParseBoardLine("D 8*5C", &parsed), ParseResult::Ok);
}

TEST(BoardLine, StreamIsCutIntoLinesAndOverlongOnesDroppedWhole) {
    boards::LineSplitter splitter;
    std::vector<std::string> lines;
    const std::string overlong(70, 'x');
    const std::string longest(64, 'y');
    // In odd chunks, as a serial read delivers them.
    const std::string stream = "D 2*" + overlong + "\nab\r\n" + longest + "\r\n" + longest + "z\nlast";
    for (std::size_t at = 0; at < stream.size(); at += 7) {
        std::string_view chunk = std::string_view(stream).substr(at, 7);
        std::string line;
        while (boards::NextLine(&splitter, &chunk, &line)) lines.push_back(line);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"ab\r", longest + "\r"}));
    EXPECT_EQ(splitter.overlongLines, 2u);
    EXPECT_EQ(splitter.pending, "last");
}

TEST(BoardLine, DisplayTextKeepsWhatSevenSegmentsCanDraw) {
    const struct {
        const char* shown;
        const char* text;
    } cases[] = {
        {" 10000", "10000"},        {" 270 ", "270"},          {"29.92", "29.92"},
        {"123456789", "12345678"},  {"1.2.3.4.5.6.7.8.9", "1.2.3.4.5.6.7.8."},
        {"FL#350", "FL-350"},       {".5", "-5"},              {"1..2", "1.-2"},
        {"", ""},                   {"   ", ""},               {"ALT 350", "ALT 350"},
    };
    for (const auto& c : cases) EXPECT_EQ(boards::DisplayText(c.shown), c.text) << c.shown;
}

TEST(EncoderPace, FastOnlyWhenTheBoardCountedDetentsTogether) {
    struct Report {
        std::int64_t atMs;  // when the line was read
        int delta;
        bool fast;
    };
    const struct {
        const char* name;
        std::vector<Report> reports;
    } cases[] = {
        {"a slow hand: a detent a report", {{0, 1, false}, {200, 1, false}, {400, -1, false}, {450, 1, false}}},
        {"a spin: the first detent alone, then several a report, the last alone",
         {{0, 1, false}, {70, 3, true}, {140, -4, true}, {210, 1, true}}},
        {"read late and all at once, as on a busy PC", {{0, 1, false}, {400, 3, true}, {400, 3, true}, {400, 1, true}}},
        {"single detents read close together are still slow", {{0, 1, false}, {1, 1, false}, {2, -1, false}}},
        {"slow again after a spin", {{0, 5, true}, {250, 1, true}, {251, 1, false}, {900, 1, false}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boards::EncoderPace pace;
        for (const Report& r : c.reports) EXPECT_EQ(boards::FastTurn(&pace, r.atMs, r.delta), r.fast) << r.atMs;
    }
}

}  // namespace
