// A board in Learn: its thread takes the board's port in place of the
// normal session and drives the session's Learn over it (boards/session.h):
// every free pin configured as a button, what the builder works reported
// into the desk's LearnView at once.
// Identify requests reach it through LearnControl. When the board is lost,
// Learn ends and the same thread goes on with the board's normal session.
#pragma once
#include <mutex>
#include <vector>

#include "boards/board_thread.h"

namespace boards {

struct LearnControl {
    std::mutex mutex;
    bool identifyWanted = false;
    std::vector<int> identify;  // the pins to light next
};

// Learn until `stop`, then (unless stopped) the normal session.
void RunLearn(BoardRun* run, LearnControl* control, platform::StopSignal& stop);

}  // namespace boards
