// One thread per cockpit board: it opens the board's port, checks its
// hello, sends its configuration, turns its events into panel commands and
// keeps its LEDs and displays showing what the panels show. It survives the
// board going away and coming back; nothing it meets stops the program or
// waits on another thread.
#pragma once

class ThreadOwner;
namespace model {
class PanelModel;
}

namespace boards {

// Starts a thread for each board of boardMaps (after the windows exist),
// through `threads`, which can stop them; they see the panels through
// `model`, which outlives them.
void StartBoards(ThreadOwner& threads, model::PanelModel& model);

}  // namespace boards
