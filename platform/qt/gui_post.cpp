#include "platform/qt/gui_post.h"

#include "platform/dialog_mirror.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <deque>
#include <mutex>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace platform::qthost {
namespace {

// The work crosses threads through a queue of our own and the GUI thread is
// woken by a byte in a pipe that a socket notifier watches: no Qt object
// crosses threads, so the race detector sees the whole hand-over (Qt's own
// locking it cannot see). Never destroyed: other threads may post while the
// process ends.
std::mutex& postMutex = *new std::mutex;
std::deque<std::pair<void (*)(void*), void*>>& posted = *new std::deque<std::pair<void (*)(void*), void*>>;
int wakePipe[2] = {-1, -1};

void RunPosted() {
    std::deque<std::pair<void (*)(void*), void*>> batch;
    {
        const std::lock_guard<std::mutex> lock(postMutex);
        batch.swap(posted);
    }
    for (const auto& [work, context] : batch) work(context);
}

void PostToGui(void (*work)(void*), void* context) {
    {
        const std::lock_guard<std::mutex> lock(postMutex);
        posted.emplace_back(work, context);
    }
    const char byte = 1;
    // A full pipe means wake-ups are already waiting: nothing is lost.
    [[maybe_unused]] auto n = write(wakePipe[1], &byte, 1);
}

}  // namespace

void PrepareGuiPost() {
    QCoreApplication* app = QCoreApplication::instance();
    if (wakePipe[0] != -1 || app == nullptr || pipe(wakePipe) != 0) return;
    for (int fd : wakePipe) {
        fcntl(fd, F_SETFD, FD_CLOEXEC);
        fcntl(fd, F_SETFL, O_NONBLOCK);
    }
    auto* notifier = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, app);
    QObject::connect(notifier, &QSocketNotifier::activated, app, [] {
        char drain[64];
        while (read(wakePipe[0], drain, sizeof drain) > 0) {
        }
        RunPosted();
    });
    SetGuiPoster(PostToGui);
}

}  // namespace platform::qthost
