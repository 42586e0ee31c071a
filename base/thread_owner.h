// The one owner of the program's long-lived threads: it starts each, and can
// stop and join them all, so the core can be started and stopped many times
// in one process (tests). The process itself ends without joining: a fatal
// stop or the end of the message loop exits at once, whatever still runs.
#pragma once
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/stop_signal.h"

class ThreadOwner {
public:
    using Body = std::function<void(platform::StopSignal& stop)>;

    ThreadOwner() = default;
    ThreadOwner(const ThreadOwner&) = delete;
    ThreadOwner& operator=(const ThreadOwner&) = delete;
    ~ThreadOwner() { StopAll(); }

    // Runs `body` on a thread of its own; it returns once `stop` is
    // requested. `wake`, when given, ends a wait the signal cannot reach (a
    // blocked receive); it is called after the request, before the join.
    void Start(Body body, std::function<void()> wake = {});

    // Requests the stop, wakes every thread and joins them, the last started
    // first. The owner can start threads again afterwards.
    void StopAll();

    std::size_t Running();

private:
    struct Entry {
        std::thread thread;
        std::function<void()> wake;
    };
    std::mutex mutex_;
    std::vector<Entry> threads_;
    platform::StopSignal stop_;
};
