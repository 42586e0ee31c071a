// A pipe whose read end the GUI loop watches: a byte written from any thread
// wakes the GUI thread, which then runs a handler. No Qt object crosses
// threads, so the race detector sees the whole hand-over.
#pragma once

class QCoreApplication;

namespace platform::qthost {

struct WakePipe {
    int fds[2] = {-1, -1};
};

// GUI thread: opens the pipe and has `onWake` run on the GUI thread after
// each batch of wake-ups; false when no pipe could be made.
bool OpenWakePipe(WakePipe* pipe, QCoreApplication* app, void (*onWake)());

// Any thread: wakes the GUI thread. A full pipe means wake-ups are already
// waiting, so nothing is lost.
void Wake(const WakePipe& pipe);

}  // namespace platform::qthost
