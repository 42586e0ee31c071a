// The cockpit boards as one object: a thread per board of the mapping it
// is given, started and stopped as a whole (a saved mapping applies at once
// through Reconfigure), and the set-up calls the set-up worker makes: find
// boards, name one, Learn and Identify. What it finds and each board's live
// state go to the set-up desk when it has one.
#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/thread_owner.h"
#include "boards/board_thread.h"
#include "boards/learn_run.h"
#include "boards/mapping.h"

namespace model {
class PanelModel;
class SetupDesk;
}  // namespace model

namespace boards {

class BoardHost {
public:
    // `model` and `desk` (nullptr: none) outlive the host.
    BoardHost(model::PanelModel& model, model::SetupDesk* desk);
    ~BoardHost();
    BoardHost(const BoardHost&) = delete;
    BoardHost& operator=(const BoardHost&) = delete;

    // A thread per board (after the windows exist); Learn ends.
    void Start(std::vector<BoardMap> maps);
    // Stops and joins every board's thread, Learn's too.
    void Stop();
    // Stop, then Start with these maps.
    void Reconfigure(std::vector<BoardMap> maps);

    // Set-up calls: any one thread at a time (the set-up worker). Each
    // blocks for a bounded time (a few seconds at most).
    // Probes every serial port no board of the mapping uses.
    std::vector<model::FoundPort> FindBoards();
    // Names the board on a port no running board uses.
    bool NameBoard(const std::string& port, const std::string& name, std::string* why);
    // The board's normal session gives its port to Learn.
    bool StartLearn(const std::string& board, std::string* why);
    // The board's normal session comes back (nothing when none is in Learn).
    void StopLearn();
    // During Learn: one pin lit as an LED, or three (DIN CLK CS) as a
    // display showing 8.8.8.8.8.8.8.8.
    bool Identify(const std::vector<int>& pins, std::string* why);

private:
    struct Board {
        BoardMap map;
        std::unique_ptr<ThreadOwner> threads;  // its own, so it stops alone
        std::shared_ptr<BoardRun> run;
        // What the last run published: the next run (Learn, or back from
        // it) starts from it, so the page keeps the version and counts.
        model::BoardView last;
        bool haveLast = false;
    };
    void StartBoard(std::size_t index, bool learn);
    void StopBoard(std::size_t index);
    void EndLearn();
    bool UsedPort(const std::string& port) const;

    model::PanelModel& model_;
    model::SetupDesk* desk_;
    std::mutex mutex_;  // the boards and Learn, between Start/Stop and the set-up calls
    std::vector<Board> boards_;
    int learning_ = -1;  // index of the board in Learn
    LearnControl learn_;
};

}  // namespace boards
