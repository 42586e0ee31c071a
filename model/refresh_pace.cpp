#include "model/refresh_pace.h"

#include <algorithm>

namespace model {

void TokenBucket::Refill(Clock::time_point now) {
    if (tokens_ < 0) {
        tokens_ = burst_;
    } else if (now > at_) {
        const double seconds = std::chrono::duration<double>(now - at_).count();
        tokens_ = std::min(burst_, tokens_ + seconds * perSecond_);
    }
    at_ = std::max(at_, now);
}

void TokenBucket::Spend() {
    if (perSecond_ > 0) tokens_ -= 1;
}

void TokenBucket::Grant(double tokens) { tokens_ = std::max(tokens_, std::min(tokens, burst_)); }

TokenBucket::Clock::duration TokenBucket::UntilReady() const {
    if (Ready()) return Clock::duration::zero();
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>((1 - tokens_) / perSecond_));
}

}  // namespace model
