#include "link/node_cadence.h"

#include <algorithm>
#include <atomic>

namespace {

constexpr std::int64_t kBucketMs = 10000;  // six buckets: about a minute
constexpr int kBuckets = 6;
constexpr int kKnownGaps = 3;
constexpr std::int64_t kPriorGapMs = 5000;
constexpr std::int64_t kGapFactor = 3;

struct Bucket {
    std::int64_t period = -1;  // nowMs / kBucketMs of its gaps
    std::int64_t longest = 0;
    int gaps = 0;
};

// Receiver thread only, but for the published threshold.
Bucket buckets[kBuckets];
std::int64_t lastMs = -1;
std::atomic<std::int64_t> threshold{kGapFactor * kPriorGapMs};

}  // namespace

void NoteNodeDatagram(std::int64_t nowMs) {
    const std::int64_t gap = lastMs < 0 ? -1 : nowMs - lastMs;
    lastMs = nowMs;
    if (gap < 0) return;
    const std::int64_t period = nowMs / kBucketMs;
    Bucket& bucket = buckets[period % kBuckets];
    if (bucket.period != period) bucket = Bucket{period, 0, 0};
    bucket.longest = std::max(bucket.longest, gap);
    ++bucket.gaps;
    std::int64_t longest = 0;
    int gaps = 0;
    for (const Bucket& b : buckets) {
        if (b.period <= period - kBuckets) continue;  // older than the window
        longest = std::max(longest, b.longest);
        gaps += b.gaps;
    }
    if (gaps < kKnownGaps) longest = std::max(longest, kPriorGapMs);
    threshold.store(std::max(kMinStaleMs, kGapFactor * longest), std::memory_order_relaxed);
}

std::int64_t StaleThresholdMs() { return threshold.load(std::memory_order_relaxed); }

void ResetNodeCadence() {
    for (Bucket& b : buckets) b = Bucket{};
    lastMs = -1;
    threshold.store(kGapFactor * kPriorGapMs, std::memory_order_relaxed);
}
