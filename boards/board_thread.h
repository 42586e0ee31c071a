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
#include "boards/session.h"
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
// The same, going on with `session` (back from Learn, its port closed).
void RunBoard(BoardRun* run, BoardSession* session, platform::StopSignal& stop);

// Does what the session asks, in order; false when the port is to be closed
// (asked so, or a write failed).
bool Perform(BoardRun* run, BoardSession* s, platform::SerialPort* port, SessionSteps* steps);
// What the session now says of the board, to the desk when it changed.
void Show(BoardRun* run, const BoardSession& s);

// Puts `view` on the desk as the board's (when it has one), if it differs
// from what the desk shows.
void PublishBoard(BoardRun* run, model::BoardView view);

}  // namespace boards
