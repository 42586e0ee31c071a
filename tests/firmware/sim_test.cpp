// The firmware build itself, run by simavr as an ATmega328P at 16 MHz and
// driven through its pins and serial port.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "firmware/line.h"
#include "tests/firmware/board_session.h"

using boardtest::BoardSession;
using namespace std::chrono_literals;

namespace {

// A board with a button on 2, a switch on 3, an encoder on 4/5, an LED on
// 13 and a display on 10/11/12, configured as the program would.
void Configure(BoardSession& board) {
    for (const char* line : {"CLEAR", "BTN 2", "SW 3", "ENC 4 5", "LED 13", "DISP 0 10 11 12", "DONE"})
        board.Send(line);
}

int SumOfDeltas(const BoardSession& board, int& largest) {
    int sum = 0;
    largest = 0;
    for (const std::string& line : board.board_lines()) {
        if (line.compare(0, 4, "E 4 ") != 0) continue;
        const int delta = std::atoi(line.c_str() + 4);
        EXPECT_TRUE(delta != 0 && delta >= -99 && delta <= 99) << line;
        EXPECT_EQ(line.find('+'), std::string::npos) << line;
        sum += delta;
        largest = std::max(largest, std::abs(delta));
    }
    return sum;
}

}  // namespace

TEST(FirmwareSim, HelloNameConfigurationAndSwitchState) {
    BoardSession board("mcp");
    ASSERT_TRUE(board.started());
    EXPECT_EQ(board.AwaitBoard("HELLO"), "HELLO ORVB 1 mcp");
    // The switch is closed before the program connects: READY tells it so.
    board.Drive("close 3");
    board.Settle(100ms);
    Configure(board);
    EXPECT_EQ(board.AwaitBoard("READY"), "READY 5");
    EXPECT_EQ(board.AwaitBoard("", 1s), "D 3");
    board.Send("HELLO");
    EXPECT_EQ(board.AwaitBoard("HELLO"), "HELLO ORVB 1 mcp");
    board.Send("PING 65535");
    EXPECT_EQ(board.AwaitBoard("PONG"), "PONG 65535");
    // A new name is kept and answered.
    board.Send("NAME fcu_2");
    EXPECT_EQ(board.AwaitBoard("NAMED"), "NAMED fcu_2");
    board.Send("HELLO");
    EXPECT_EQ(board.AwaitBoard("HELLO"), "HELLO ORVB 1 fcu_2");
    EXPECT_EQ(board.bad_checksums(), 0);
}

TEST(FirmwareSim, ButtonsAndSwitchesAfterDebouncing) {
    BoardSession board;
    ASSERT_TRUE(board.started());
    EXPECT_EQ(board.AwaitBoard("HELLO"), "HELLO ORVB 1 -");
    Configure(board);
    ASSERT_EQ(board.AwaitBoard("READY"), "READY 5");
    EXPECT_EQ(board.AwaitBoard("", 1s), "U 3");
    board.Drive("press 2");
    EXPECT_EQ(board.AwaitBoard("D 2"), "D 2");
    board.Drive("release 2");
    EXPECT_EQ(board.AwaitBoard("U 2"), "U 2");
    // Shorter than the debounce time: a glitch, not a press; longer: a press.
    board.Drive("pulse 2 3");
    board.Settle(50ms);
    board.Drive("pulse 2 8");
    board.Settle(100ms);
    int presses = 0, releases = 0;
    for (const std::string& line : board.board_lines()) {
        presses += line == "D 2";
        releases += line == "U 2";
    }
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(releases, 2);
}

TEST(FirmwareSim, EncoderTurnsSlowAndFastLoseNoDetent) {
    BoardSession board;
    ASSERT_TRUE(board.started());
    Configure(board);
    ASSERT_EQ(board.AwaitBoard("READY"), "READY 5");
    int largest = 0;
    // A hand's slow turn, under 15 detents a second: one detent a report.
    board.Drive("turn 4 5 6 10");
    ASSERT_FALSE(board.AwaitSim("turned 4").empty());
    board.Settle(100ms);
    EXPECT_EQ(SumOfDeltas(board, largest), 6);
    EXPECT_EQ(largest, 1);
    // A fast spin the other way: larger deltas, none lost.
    board.Drive("turn 4 5 -60 250");
    ASSERT_FALSE(board.AwaitSim("turned 4").empty());
    board.Settle(100ms);
    EXPECT_EQ(SumOfDeltas(board, largest), 6 - 60);
    EXPECT_GT(largest, 1);
}

TEST(FirmwareSim, LedAndDisplayFollowTheProgram) {
    BoardSession board;
    ASSERT_TRUE(board.started());
    Configure(board);
    ASSERT_EQ(board.AwaitBoard("READY"), "READY 5");
    board.Send("L 13 1");
    EXPECT_EQ(board.AwaitSim("led 13 1"), "led 13 1");
    board.Send("T 0 AP 12.5");
    EXPECT_EQ(board.AwaitSim("display 0 \"  AP"), "display 0 \"  AP 12.5\"");
    board.Send("T 0 -1000");
    EXPECT_EQ(board.AwaitSim("display 0 \"   -"), "display 0 \"   -1000\"");
    board.Send("L 13 0");
    EXPECT_EQ(board.AwaitSim("led 13 0"), "led 13 0");
    // Clearing puts every output out.
    board.Send("L 13 1");
    board.Send("CLEAR");
    EXPECT_EQ(board.AwaitSim("display 0"), "display 0 \"        \"");
}

TEST(FirmwareSim, BadLinesAreCountedAndIgnored) {
    BoardSession board;
    ASSERT_TRUE(board.started());
    Configure(board);
    ASSERT_EQ(board.AwaitBoard("READY"), "READY 5");
    board.SendRaw("garbage\n");                       // no checksum
    board.SendRaw("L 13 1*00\n");                     // wrong checksum
    board.Send("BLINK 13");                           // unknown verb
    board.Send("L  13 1");                            // malformed
    board.Send("L 7 1");                              // not an LED
    board.Send("T 0 123456789");                      // too long a text
    board.SendRaw(std::string(80, 'X') + "\n");       // too long a line
    board.SendRaw("\n\r\n");                          // empty lines: nothing at all
    board.Send("STATS");
    EXPECT_EQ(board.AwaitBoard("STATS"), "STATS 7");
    board.Send("PING 1");
    EXPECT_EQ(board.AwaitBoard("PONG"), "PONG 1");
    board.Settle(50ms);
    EXPECT_TRUE(board.AwaitSim("led 13 1", 10ms).empty());
    // Refused configuration, with its reason.
    board.Send("BTN 0");
    EXPECT_EQ(board.AwaitBoard("ERR"), "ERR pin");
    board.Send("BTN 2");
    EXPECT_EQ(board.AwaitBoard("ERR"), "ERR pin");
    board.Send("DISP 3 6 7 8");
    EXPECT_EQ(board.AwaitBoard("ERR"), "ERR full");
    board.Send("BTN x");
    EXPECT_EQ(board.AwaitBoard("ERR"), "ERR syntax");
    board.Send("STATS");
    EXPECT_EQ(board.AwaitBoard("STATS"), "STATS 8");
}

// More than the receive buffer holds, sent at once, with answers longer than
// the questions: every line that lost bytes is counted, none is acted on, and
// the next line is read normally without an empty line first.
TEST(FirmwareSim, ReceiveOverflowCountsEveryDamagedLine) {
    BoardSession board;
    ASSERT_TRUE(board.started());
    ASSERT_FALSE(board.AwaitBoard("HELLO").empty());
    std::string burst;
    int lines = 0;
    while (burst.size() < 900) {
        char line[16];
        const uint8_t n = fw::FinishLine(line, static_cast<uint8_t>(std::snprintf(line, 12, "PING %d", lines)));
        burst.append(line, n);
        burst.append(line, fw::FinishLine(line, static_cast<uint8_t>(std::snprintf(line, 12, "HELLO"))));
        lines += 2;
    }
    board.SendRaw(burst);
    board.Settle(300ms);
    int answered = 0;
    for (const std::string& line : board.board_lines()) answered += line.rfind("PONG ", 0) == 0 || line.rfind("HELLO ", 0) == 0;
    --answered;  // the boot's hello
    EXPECT_LT(answered, lines);
    board.Send("PING 65000");
    EXPECT_EQ(board.AwaitBoard("PONG 65000", 1s), "PONG 65000");
    board.Send("STATS");
    EXPECT_EQ(board.AwaitBoard("STATS"), "STATS " + std::to_string(lines - answered));
    EXPECT_EQ(board.bad_checksums(), 0);
}

// A board that hangs resets itself and says HELLO again, ready for a new
// configuration.
TEST(FirmwareSim, WatchdogRestartsAHungBoard) {
    BoardSession board("mcp");
    ASSERT_TRUE(board.started());
    Configure(board);
    ASSERT_EQ(board.AwaitBoard("READY"), "READY 5");
    board.Drive("hang");
    board.Send("PING 1");
    // The watchdog bites after 1 s of the simulated clock, which a loaded
    // machine (or a sanitizer build) may take several real seconds to run.
    EXPECT_EQ(board.AwaitBoard("HELLO", 15s), "HELLO ORVB 1 mcp");
    EXPECT_EQ(board.AwaitBoard("PONG", 10ms), "");
    Configure(board);
    EXPECT_EQ(board.AwaitBoard("READY"), "READY 5");
    board.Send("PING 2");
    EXPECT_EQ(board.AwaitBoard("PONG"), "PONG 2");
}
