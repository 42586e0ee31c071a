// The firmware's inputs in simavr: debouncing, and every input of a board
// changing at once, on the Uno/Nano build and on the Mega build.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/firmware/board_session.h"

using boardtest::BoardSession;
using namespace std::chrono_literals;

namespace {

// Each pin's reports, in order.
std::map<int, std::string> Reports(const BoardSession& board) {
    std::map<int, std::string> by_pin;
    for (const std::string& line : board.board_lines())
        if (line.size() > 2 && (line[0] == 'D' || line[0] == 'U') && line[1] == ' ')
            by_pin[std::stoi(line.substr(2))] += line[0];
    return by_pin;
}

struct Board {
    const char* elf;
    int inputs;  // the most it serves
};
void PrintTo(const Board& board, std::ostream* out) { *out << board.inputs << " inputs"; }

class EveryInput : public testing::TestWithParam<Board> {};

// Far more changes at once than any queue of them would hold: a press of
// 7 ms on every input, then every input held while the line is busy.
TEST_P(EveryInput, ChangingTogetherLosesNoChange) {
    BoardSession board("", GetParam().elf);
    ASSERT_TRUE(board.started());
    ASSERT_FALSE(board.AwaitBoard("HELLO").empty());
    board.Send("CLEAR");
    const int last = 2 + GetParam().inputs - 1;
    for (int pin = 2; pin <= last; ++pin) board.Send("BTN " + std::to_string(pin));
    board.Send("BTN " + std::to_string(last + 1));
    EXPECT_EQ(board.AwaitBoard("ERR"), "ERR full");
    board.Send("DONE");
    ASSERT_EQ(board.AwaitBoard("READY"), "READY " + std::to_string(GetParam().inputs));
    std::string all;
    for (int pin = 2; pin <= last; ++pin) all += "pulse " + std::to_string(pin) + " 7\n";
    board.Drive(all);
    board.Settle(400ms);
    for (int pin = 2; pin <= last; ++pin) board.Drive("press " + std::to_string(pin));
    board.Settle(200ms);
    for (int pin = 2; pin <= last; ++pin) board.Drive("release " + std::to_string(pin));
    board.Settle(600ms);
    const std::map<int, std::string> reports = Reports(board);
    for (int pin = 2; pin <= last; ++pin) {
        const auto it = reports.find(pin);
        EXPECT_EQ(it == reports.end() ? "" : it->second, "DUDU") << "pin " << pin;
    }
    EXPECT_EQ(board.bad_checksums(), 0);
}

INSTANTIATE_TEST_SUITE_P(FirmwareSim, EveryInput,
                         testing::Values(Board{ORV_FIRMWARE_ELF, 16}, Board{ORV_FIRMWARE_MEGA_ELF, 48}),
                         [](const testing::TestParamInfo<Board>& info) {
                             return info.param.inputs == 16 ? std::string("Nano") : std::string("Mega");
                         });

// A level counts once it has held for 5 ms, whatever the press's phase
// against the sampling: 4.5 ms never, 5.5 ms always.
TEST(FirmwareSim, DebouncingHoldsFiveMilliseconds) {
    BoardSession board;
    ASSERT_TRUE(board.started());
    for (const char* line : {"CLEAR", "BTN 2", "DONE"}) board.Send(line);
    ASSERT_EQ(board.AwaitBoard("READY"), "READY 1");
    const int kPresses = 12;
    // Odd spacings, so that the presses fall at many phases of the sampling.
    for (int i = 0; i < kPresses; ++i) {
        board.Drive("pulse 2 4.5");
        board.Settle(std::chrono::milliseconds(23 + 7 * i % 11));
    }
    board.Settle(50ms);
    EXPECT_EQ(Reports(board)[2], "");
    for (int i = 0; i < kPresses; ++i) {
        board.Drive("pulse 2 5.5");
        board.Settle(std::chrono::milliseconds(23 + 7 * i % 11));
    }
    board.Settle(50ms);
    std::string pairs;
    for (int i = 0; i < kPresses; ++i) pairs += "DU";
    EXPECT_EQ(Reports(board)[2], pairs);
}

}  // namespace
