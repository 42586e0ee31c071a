#include "base/thread_owner.h"

#include <utility>

void ThreadOwner::Start(Body body, std::function<void()> wake) {
    std::lock_guard<std::mutex> guard(mutex_);
    threads_.push_back(Entry{std::thread([this, body = std::move(body)] { body(stop_); }), std::move(wake)});
}

void ThreadOwner::StopAll() {
    std::vector<Entry> stopping;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        stopping.swap(threads_);
    }
    if (stopping.empty()) return;
    stop_.Request();
    for (Entry& e : stopping)
        if (e.wake) e.wake();
    for (auto it = stopping.rbegin(); it != stopping.rend(); ++it)
        if (it->thread.joinable()) it->thread.join();
    stop_.Reset();
}

std::size_t ThreadOwner::Running() {
    std::lock_guard<std::mutex> guard(mutex_);
    return threads_.size();
}
