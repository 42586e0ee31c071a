#include "platform/qt/gui_call.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <mutex>

namespace platform::qthost {
namespace {

struct PendingCall {
    const std::function<void()>* work;
    bool done = false;
};

std::mutex callMutex;
std::condition_variable callDone;
std::deque<PendingCall*> pending;  // guarded by callMutex

// GUI thread: runs every queued call, marking each done as it finishes.
void RunPending() {
    std::unique_lock<std::mutex> lock(callMutex);
    while (!pending.empty()) {
        PendingCall* call = pending.front();
        pending.pop_front();
        lock.unlock();
        (*call->work)();
        lock.lock();
        call->done = true;
        callDone.notify_all();
    }
}

}  // namespace

void RunOnGuiThread(const std::function<void()>& work) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        work();
        return;
    }
    PendingCall call{&work};
    {
        std::lock_guard<std::mutex> lock(callMutex);
        pending.push_back(&call);
    }
    QMetaObject::invokeMethod(app, &RunPending, Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(callMutex);
    callDone.wait(lock, [&call] { return call.done; });
}

}  // namespace platform::qthost
