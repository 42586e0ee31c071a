#include "platform/qt/gui_call.h"

#include "platform/qt/wake_pipe.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

// The hand-off is a std::mutex and condition variable of our own, and the
// caller wakes the GUI thread by writing a byte into a pipe that a socket
// notifier watches. So no Qt object crosses threads: Qt is not built for the
// race detector, which cannot see its internal locking, while ours it sees.

namespace platform::qthost {
namespace {

struct PendingCall {
    const std::function<void()>* work;
    bool done = false;
};

// Never destroyed: should anything end the process through exit handlers,
// the refresh thread may still be queueing calls.
std::mutex& callMutex = *new std::mutex;
std::condition_variable& callDone = *new std::condition_variable;
std::condition_variable& callQueued = *new std::condition_variable;
std::deque<PendingCall*>& pending = *new std::deque<PendingCall*>;  // guarded by callMutex
// Guarded by callMutex: the GUI thread is in RunPending and will see a new
// call without being woken through the pipe, whose byte would only make it
// come back for nothing.
bool draining = false;

// The refresh thread writes its controls one after another, each waiting for
// the last. Staying this long for the next write lets the window repaint once
// per refresh instead of once per control.
constexpr auto kLinger = std::chrono::microseconds(1000);

WakePipe wakePipe;
std::atomic<bool> wakeReady{false};  // publishes wakePipe

// GUI thread: runs every queued call, marking each done as it finishes, and
// the calls that follow in quick succession.
void RunPending() {
    std::unique_lock<std::mutex> lock(callMutex);
    draining = true;
    do {
        while (!pending.empty()) {
            PendingCall* call = pending.front();
            pending.pop_front();
            lock.unlock();
            (*call->work)();
            lock.lock();
            call->done = true;
            callDone.notify_all();
        }
    } while (callQueued.wait_for(lock, kLinger, [] { return !pending.empty(); }));
    draining = false;
}

void WakeGuiThread(QCoreApplication* app) {
    if (wakeReady.load(std::memory_order_acquire)) {
        Wake(wakePipe);
        return;
    }
    QMetaObject::invokeMethod(app, &RunPending, Qt::QueuedConnection);
}

}  // namespace

void PrepareGuiCalls() {
    QCoreApplication* app = QCoreApplication::instance();
    if (wakeReady.load(std::memory_order_relaxed) || app == nullptr) return;
    if (!OpenWakePipe(&wakePipe, app, RunPending)) return;  // calls then go through Qt's queue
    wakeReady.store(true, std::memory_order_release);
}

void RunOnGuiThread(const std::function<void()>& work) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        work();
        return;
    }
    PendingCall call{&work};
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(callMutex);
        pending.push_back(&call);
        wake = !draining;
    }
    callQueued.notify_one();
    if (wake) WakeGuiThread(app);
    std::unique_lock<std::mutex> lock(callMutex);
    callDone.wait(lock, [&call] { return call.done; });
}

}  // namespace platform::qthost
