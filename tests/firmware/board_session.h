// A simulated board for a test: orv-boardsim running the firmware, its serial
// port opened as a program would open it, and its report lines at hand.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace boardtest {

class BoardSession {
public:
    // elf: the firmware build to run, the Uno/Nano's when empty.
    explicit BoardSession(const std::string& name = "", const std::string& elf = "");
    ~BoardSession();
    BoardSession(const BoardSession&) = delete;
    BoardSession& operator=(const BoardSession&) = delete;

    bool started() const { return serial_ >= 0; }
    // Sends a line to the board, its checksum added.
    void Send(const std::string& body);
    // Sends raw bytes, exactly as given.
    void SendRaw(const std::string& bytes);
    // A command to the harness ("press 2", "turn 4 5 3 20", ...).
    void Drive(const std::string& command);

    // Waits for a line from the board (checksum checked and stripped) that
    // starts with prefix; returns it, or "" on timeout. Lines before it are
    // kept in board_lines().
    std::string AwaitBoard(const std::string& prefix, std::chrono::milliseconds timeout = std::chrono::seconds(3));
    // The same for the harness's reports.
    std::string AwaitSim(const std::string& prefix, std::chrono::milliseconds timeout = std::chrono::seconds(3));
    // Collects board lines for a while.
    void Settle(std::chrono::milliseconds time);

    const std::vector<std::string>& board_lines() const { return board_lines_; }
    // Lines whose checksum was wrong: the board must never send one.
    int bad_checksums() const { return bad_checksums_; }

private:
    void Pump(std::chrono::milliseconds wait);

    pid_t pid_ = -1;
    int to_sim_ = -1, from_sim_ = -1, serial_ = -1;
    std::string dir_;
    std::string board_partial_, sim_partial_;
    std::vector<std::string> board_lines_, sim_lines_;
    size_t board_seen_ = 0, sim_seen_ = 0;
    int bad_checksums_ = 0;
};

}  // namespace boardtest
