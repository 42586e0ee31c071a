#include "model/setup_desk.h"

#include <utility>

namespace model {

std::uint64_t SetupDesk::Post(SetupRequest request) {
    std::uint64_t id = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (queue_.size() >= kQueueMax) return 0;
        id = nextId_++;
        request.id = id;
        queue_.push_back(std::move(request));
    }
    wake_.notify_one();
    return id;
}

bool SetupDesk::Take(SetupRequest* out) {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait(lock, [this] { return interrupted_ || !queue_.empty(); });
    if (interrupted_) return false;
    *out = std::move(queue_.front());
    queue_.pop_front();
    return true;
}

void SetupDesk::Interrupt() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        interrupted_ = true;
    }
    wake_.notify_all();
}

void SetupDesk::Resume() {
    std::lock_guard<std::mutex> lock(mutex_);
    interrupted_ = false;
}

void SetupDesk::Publish(const std::function<void(SetupSnapshot&)>& edit) {
    std::vector<std::function<void()>> tell;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        edit(snapshot_);
        ++snapshot_.version;
        for (const auto& entry : listeners_) tell.push_back(entry.second);
    }
    for (const auto& listener : tell) listener();
}

void SetupDesk::Answer(OutcomeView outcome) {
    std::vector<std::function<void()>> tell;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (outcomes_.size() >= kOutcomesKept) outcomes_.pop_front();
        outcomes_.push_back(std::move(outcome));
        for (const auto& entry : listeners_) tell.push_back(entry.second);
    }
    for (const auto& listener : tell) listener();
}

bool SetupDesk::TakeOutcome(std::uint64_t request, OutcomeView* out) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = outcomes_.begin(); it != outcomes_.end(); ++it) {
        if (it->request != request) continue;
        *out = std::move(*it);
        outcomes_.erase(it);
        return true;
    }
    return false;
}

void SetupDesk::DropOutcome(std::uint64_t request) {
    OutcomeView ignored;
    TakeOutcome(request, &ignored);
}

SetupSnapshot SetupDesk::Snapshot() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return snapshot_;
}

std::uint64_t SetupDesk::Version() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return snapshot_.version;
}

int SetupDesk::Listen(std::function<void()> listener) {
    std::lock_guard<std::mutex> lock(mutex_);
    const int id = nextListener_++;
    listeners_.emplace_back(id, std::move(listener));
    return id;
}

void SetupDesk::Unlisten(int id) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = listeners_.begin(); it != listeners_.end(); ++it) {
        if (it->first == id) {
            listeners_.erase(it);
            return;
        }
    }
}

}  // namespace model
