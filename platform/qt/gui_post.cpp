#include "platform/qt/gui_post.h"

#include "platform/gui_post.h"

#include "platform/qt/wake_pipe.h"

#include <QCoreApplication>

#include <deque>
#include <mutex>
#include <utility>

namespace platform::qthost {
namespace {

// The work crosses threads through a queue of our own and the GUI thread is
// woken through a pipe, so the race detector sees the whole hand-over (Qt's
// own locking it cannot see). Never destroyed: other threads may post while the
// process ends.
std::mutex& postMutex = *new std::mutex;
std::deque<std::pair<void (*)(void*), void*>>& posted = *new std::deque<std::pair<void (*)(void*), void*>>;
WakePipe wakePipe;
bool shiftHeld = false;  // GUI thread only

void HoldShift(bool held) { shiftHeld = held; }

void RunPosted() {
    std::deque<std::pair<void (*)(void*), void*>> batch;
    {
        const std::lock_guard<std::mutex> lock(postMutex);
        batch.swap(posted);
    }
    for (const auto& [work, context] : batch) work(context);
}

bool PostToGui(void (*work)(void*), void* context) {
    {
        const std::lock_guard<std::mutex> lock(postMutex);
        posted.emplace_back(work, context);
    }
    // Queued is enough: a full pipe already holds a wake-up for this batch.
    Wake(wakePipe);
    return true;
}

}  // namespace

void PrepareGuiPost() {
    QCoreApplication* app = QCoreApplication::instance();
    if (wakePipe.fds[0] != -1 || app == nullptr) return;
    OpenWakePipe(&wakePipe, app, RunPosted);
}

}  // namespace platform::qthost

namespace platform {

GuiPoster HostGuiPoster() {
    if (qthost::wakePipe.fds[0] == -1) return {};
    return GuiPoster{qthost::PostToGui, qthost::HoldShift};
}

bool ShiftHeldForDelivery() { return qthost::shiftHeld; }

}  // namespace platform
