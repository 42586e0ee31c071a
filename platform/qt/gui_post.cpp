#include "platform/qt/gui_post.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <deque>
#include <mutex>
#include <utility>

namespace platform::qthost {
namespace {

// The work crosses threads through a queue of our own, not inside Qt's
// event, so the race detector sees the hand-over (Qt's locking it cannot).
// Never destroyed: other threads may post while the process ends.
std::mutex& postMutex = *new std::mutex;
std::deque<std::pair<void (*)(void*), void*>>& posted = *new std::deque<std::pair<void (*)(void*), void*>>;

void RunPosted() {
    std::deque<std::pair<void (*)(void*), void*>> batch;
    {
        const std::lock_guard<std::mutex> lock(postMutex);
        batch.swap(posted);
    }
    for (const auto& [work, context] : batch) work(context);
}

}  // namespace

void PostToGui(void (*work)(void*), void* context) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) return;
    bool wake = false;
    {
        const std::lock_guard<std::mutex> lock(postMutex);
        wake = posted.empty();  // otherwise a run is already on its way
        posted.emplace_back(work, context);
    }
    if (wake) QMetaObject::invokeMethod(app, &RunPosted, Qt::QueuedConnection);
}

}  // namespace platform::qthost
