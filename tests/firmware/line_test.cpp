// The firmware's line protocol and display layout, on the host.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "firmware/line.h"
#include "firmware/segments.h"

namespace {

// Feeds bytes; returns the complete lines (checksum not yet checked), with
// "!" for each line discarded as too long.
std::vector<std::string> Feed(fw::LineBuffer& buffer, const std::string& bytes) {
    std::vector<std::string> lines;
    for (char c : bytes) {
        const fw::Feed f = fw::FeedByte(buffer, c);
        if (f == fw::Feed::Line) lines.emplace_back(buffer.text, buffer.length);
        if (f == fw::Feed::TooLong) lines.emplace_back("!");
    }
    return lines;
}

std::string WithChecksum(const std::string& body) {
    char line[128];
    std::memcpy(line, body.data(), body.size());
    return std::string(line, fw::FinishLine(line, static_cast<uint8_t>(body.size())));
}

// The command's text points into the line, which lives until the next call.
fw::Command Parse(const std::string& body) {
    static char line[256];
    std::snprintf(line, sizeof line, "%s", body.c_str());
    return fw::ParseCommand(line);
}

}  // namespace

TEST(FirmwareLine, AssemblesLinesAndDiscardsLongOnesWhole) {
    fw::LineBuffer buffer{};
    const std::string longest(fw::kMaxLine, 'x');
    EXPECT_EQ(Feed(buffer, "PING 1*31\r\n\nHELLO*0B\n"), (std::vector<std::string>{"PING 1*31", "HELLO*0B"}));
    EXPECT_EQ(Feed(buffer, longest + "\r\n" + longest + "y\nPING 2\n"),
              (std::vector<std::string>{longest, "!", "PING 2"}));
    // Far too long: the rest of it never becomes a line of its own.
    EXPECT_EQ(Feed(buffer, std::string(300, 'z') + "\nDONE\n"), (std::vector<std::string>{"!", "DONE"}));
}

TEST(FirmwareLine, ChecksumsAreCheckedAndStripped) {
    const std::string good = WithChecksum("PING 7");
    EXPECT_EQ(good, "PING 7*07\n");
    // Wrong, short, missing, not last, lower-case hex, a control character.
    for (const char* bad : {"PING 7*06", "PING 7*0", "PING 7", "PING 7*07 ", "L 13 1*7f", "PING\t7*2E"}) {
        std::string line = bad;
        EXPECT_EQ(fw::StripChecksum(line.data(), static_cast<uint8_t>(line.size())), -1) << bad;
    }
    std::string line = good.substr(0, good.size() - 1);
    EXPECT_EQ(fw::StripChecksum(line.data(), static_cast<uint8_t>(line.size())), 6);
    EXPECT_STREQ(line.c_str(), "PING 7");
}

TEST(FirmwareLine, CommandsAndTheirFields) {
    fw::Command c = Parse("DISP 1 10 11 12");
    EXPECT_EQ(c.verb, fw::Verb::Display);
    EXPECT_EQ(c.arg[0], 1);
    EXPECT_EQ(c.arg[1], 10);
    EXPECT_EQ(c.arg[2], 11);
    EXPECT_EQ(c.arg[3], 12);
    c = Parse("PING 65535");
    EXPECT_EQ(c.verb, fw::Verb::Ping);
    EXPECT_EQ(c.arg[0], 65535);
    c = Parse("T 0 AP 12.5");
    EXPECT_EQ(c.verb, fw::Verb::Text);
    EXPECT_EQ(std::string(c.text, c.text_length), "AP 12.5");
    c = Parse("T 1 ");
    EXPECT_EQ(c.verb, fw::Verb::Text);
    EXPECT_EQ(c.text_length, 0);
    c = Parse("NAME fcu_2-b");
    EXPECT_EQ(c.verb, fw::Verb::Name);
    EXPECT_EQ(std::string(c.text, c.text_length), "fcu_2-b");
    for (const char* bad : {"", "PING", "PING 65536", "PING -1", "PING +1", "PING 1 ", "PING  1", "ping 1",
                            "BTN", "BTN 2 3", "ENC 4", "L 13 2", "DISP 4 1 2 3", "T 4 1", "T 0 123456789",
                            "T 0 12*4", "NAME", "NAME -", "NAME Big", "NAME abcdefghijklmnopq", "DONE 1",
                            "HELLOX", "BLINK 1"})
        EXPECT_EQ(Parse(bad).verb, fw::Verb::Bad) << '"' << bad << '"';
}

TEST(FirmwareLine, TextsLayOutRightAlignedWithPoints) {
    uint8_t digits[8];
    fw::LayOutText("AP 12.5", 7, digits);
    const uint8_t expected[8] = {fw::Glyph('5'), static_cast<uint8_t>(fw::Glyph('2') | fw::kSegmentPoint),
                                 fw::Glyph('1'), 0, fw::Glyph('P'), fw::Glyph('A'), 0, 0};
    EXPECT_EQ(std::memcmp(digits, expected, 8), 0);
    // A point with no character before it takes a digit of its own.
    fw::LayOutText(".5..", 4, digits);
    EXPECT_EQ(digits[0], fw::kSegmentPoint);
    EXPECT_EQ(digits[1], fw::Glyph('5') | fw::kSegmentPoint);
    EXPECT_EQ(digits[2], fw::kSegmentPoint);
    EXPECT_EQ(fw::TextDigits("12345678.", 9), 8);
    EXPECT_EQ(fw::Glyph('h'), fw::Glyph('H'));
    EXPECT_EQ(fw::Glyph('?'), 0);
}

TEST(FirmwareLine, NumbersAsTheBoardWritesThem) {
    char line[32];
    uint8_t n = fw::PutText(line, 0, "E 2 ");
    n = fw::PutNumber(line, n, -99);
    EXPECT_EQ(std::string(line, n), "E 2 -99");
    n = fw::PutNumber(line, 0, 65535);
    EXPECT_EQ(std::string(line, n), "65535");
}
