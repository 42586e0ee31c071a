// A connection's outgoing frames, bounded: a browser that does not keep up
// is dropped to a fresh snapshot instead of growing the queue.
#pragma once
#include <cstddef>
#include <deque>
#include <memory>
#include <string>

namespace web {

using Frame = std::shared_ptr<const std::string>;

class SendQueue {
public:
    explicit SendQueue(std::size_t limit) : limit_(limit) {}

    // Queues `frame`; false when the queue was full: the caller then calls
    // Resync with a snapshot. The frame being written stays.
    bool Push(Frame frame) {
        if (frames_.size() >= limit_) return false;
        frames_.push_back(std::move(frame));
        return true;
    }
    // Drops every frame not yet being written and queues `snapshot` alone.
    void Resync(Frame snapshot) {
        frames_.erase(frames_.begin() + (writing_ && !frames_.empty() ? 1 : 0), frames_.end());
        frames_.push_back(std::move(snapshot));
        ++resyncs_;
    }
    // Puts `frame` in place of the last one queued; false when there is
    // none but the one being written.
    bool ReplaceLast(Frame frame) {
        if (frames_.size() <= (writing_ ? 1u : 0u)) return false;
        frames_.back() = std::move(frame);
        return true;
    }
    // The next frame to write, marked as being written; nullptr when none
    // waits or one is being written already.
    const std::string* StartWrite() {
        if (writing_ || frames_.empty()) return nullptr;
        writing_ = true;
        return frames_.front().get();
    }
    void FinishWrite() {
        writing_ = false;
        if (!frames_.empty()) frames_.pop_front();
    }
    std::size_t Size() const { return frames_.size(); }
    std::size_t Resyncs() const { return resyncs_; }

private:
    std::size_t limit_;
    std::deque<Frame> frames_;
    bool writing_ = false;
    std::size_t resyncs_ = 0;
};

}  // namespace web
