// A connection's outgoing frames, bounded in count and bytes: a browser
// that does not keep up gets one fresh snapshot in place of its backlog,
// never the backlog late.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

namespace web {

using Frame = std::shared_ptr<const std::string>;

class SendQueue {
public:
    explicit SendQueue(std::size_t maxFrames, std::size_t maxBytes = SIZE_MAX)
        : maxFrames_(maxFrames), maxBytes_(maxBytes) {}

    // Queues `frame`; false when the queue would then hold more frames or
    // bytes than its limits: the caller then calls Resync with a snapshot.
    bool Push(Frame frame) {
        if (frames_.size() >= maxFrames_ || frame->size() > maxBytes_ - std::min(bytes_, maxBytes_)) return false;
        Append(std::move(frame));
        return true;
    }
    // Drops every frame not yet being written and queues `frames` alone, in
    // order, whatever their size.
    template <class... Frames>
    void Resync(Frames... frames) {
        frames_.erase(frames_.begin() + (writing_ ? 1 : 0), frames_.end());
        bytes_ = frames_.empty() ? 0 : frames_.front()->size();
        (Append(std::move(frames)), ...);
        ++resyncs_;
    }
    // Puts `frame` in place of the last one queued; false when there is
    // none but the one being written.
    bool ReplaceLast(Frame frame) {
        if (frames_.size() <= (writing_ ? 1u : 0u)) return false;
        bytes_ = bytes_ - frames_.back()->size() + frame->size();
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
        if (!writing_) return;
        writing_ = false;
        bytes_ -= frames_.front()->size();
        frames_.pop_front();
    }
    // Frames queued, the one being written included.
    std::size_t Size() const { return frames_.size(); }
    // Bytes of the frames queued, the one being written included.
    std::size_t Bytes() const { return bytes_; }
    std::size_t Resyncs() const { return resyncs_; }

private:
    void Append(Frame frame) {
        bytes_ += frame->size();
        frames_.push_back(std::move(frame));
    }

    std::size_t maxFrames_;
    std::size_t maxBytes_;
    std::deque<Frame> frames_;
    bool writing_ = false;
    std::size_t bytes_ = 0;
    std::size_t resyncs_ = 0;
};

}  // namespace web
