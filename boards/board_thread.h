// One thread per cockpit board: it opens the board's port, checks its
// hello, sends its configuration, turns its events into panel commands and
// keeps its LEDs and displays showing what the panels show. It survives the
// board going away and coming back; nothing it meets stops the program or
// waits on another thread. What the set-up page shows of the board (state,
// version, bad lines, last input) goes to the desk as it changes.
#pragma once
#include <cstddef>

#include "boards/mapping.h"
#include "boards/pending_outputs.h"
#include "model/setup_desk.h"
#include "platform/stop_signal.h"
#include "platform/wake_signal.h"

namespace model {
class PanelModel;
}

namespace boards {

// One board's thread and what wakes it: its outputs' changes and the stop.
struct BoardRun {
    BoardRun(const BoardMap& m, model::PanelModel& panels, model::SetupDesk* d, std::size_t i);
    ~BoardRun();
    BoardRun(const BoardRun&) = delete;
    BoardRun& operator=(const BoardRun&) = delete;
    void Wake() const;

    BoardMap map;
    model::PanelModel& model;
    model::SetupDesk* desk;  // nullptr: nothing published
    std::size_t index;       // the board's place in the desk's boards
    model::BoardView published;
    platform::WakeSignal wake;
    bool woken = false;  // the signal exists
    PendingOutputs outputs;
};

// The board's normal session until `stop` is requested.
void RunBoard(BoardRun* run, platform::StopSignal& stop);

// Changes the board's view on the desk (when it has one), if `edit` changes it.
void PublishBoard(BoardRun* run, model::BoardView view);

}  // namespace boards
