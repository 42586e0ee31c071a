#include "link/node_cadence.h"

#include <algorithm>
#include <atomic>

namespace {

constexpr std::int64_t kBucketMs = 10000;  // six buckets: about a minute
constexpr int kBuckets = 6;
// Gaps are counted in 100 ms bins; the last bin holds every gap whose triple
// is past the ceiling anyway.
constexpr std::int64_t kBinMs = 100;
constexpr int kBins = static_cast<int>((kMaxStaleMs / 3) / kBinMs) + 2;
constexpr int kRecent = 3;
constexpr int kKnownGaps = 3;
constexpr std::int64_t kPriorGapMs = 5000;
constexpr std::int64_t kGapFactor = 3;
constexpr int kPercentile = 95;

struct Bucket {
    std::int64_t period = -1;  // nowMs / kBucketMs of its gaps
    int counts[kBins] = {};
};

// Receiver thread only, but for the published threshold.
Bucket buckets[kBuckets];
std::int64_t recent[kRecent] = {};
int recentNext = 0;
std::int64_t lastMs = -1;
std::atomic<std::int64_t> threshold{std::min(kMaxStaleMs, kGapFactor * kPriorGapMs)};

// The gap at the percentile, each bin read at its upper edge so the
// estimate errs towards live.
std::int64_t PercentileGap(std::int64_t period, int* gaps) {
    int counts[kBins] = {};
    int total = 0;
    for (const Bucket& b : buckets) {
        if (b.period <= period - kBuckets) continue;  // older than the window
        for (int i = 0; i < kBins; ++i) counts[i] += b.counts[i];
    }
    for (int c : counts) total += c;
    *gaps = total;
    const int rank = (total * kPercentile + 99) / 100;
    int seen = 0;
    for (int i = 0; i < kBins; ++i) {
        seen += counts[i];
        if (seen >= rank && seen > 0) return (i + 1) * kBinMs;
    }
    return 0;
}

}  // namespace

void NoteNodeDatagram(std::int64_t nowMs) {
    const std::int64_t gap = lastMs < 0 ? -1 : nowMs - lastMs;
    lastMs = nowMs;
    if (gap < 0) return;
    const std::int64_t period = nowMs / kBucketMs;
    Bucket& bucket = buckets[period % kBuckets];
    if (bucket.period != period) bucket = Bucket{period, {}};
    ++bucket.counts[std::min<std::int64_t>(gap / kBinMs, kBins - 1)];
    recent[recentNext] = gap;
    recentNext = (recentNext + 1) % kRecent;

    int gaps = 0;
    std::int64_t typical = PercentileGap(period, &gaps);
    typical = std::max(typical, *std::max_element(recent, recent + kRecent));
    if (gaps < kKnownGaps) typical = std::max(typical, kPriorGapMs);
    threshold.store(std::clamp(kGapFactor * typical, kMinStaleMs, kMaxStaleMs), std::memory_order_relaxed);
}

std::int64_t StaleThresholdMs() { return threshold.load(std::memory_order_relaxed); }

void ResetNodeCadence() {
    for (Bucket& b : buckets) b = Bucket{};
    for (std::int64_t& r : recent) r = 0;
    recentNext = 0;
    lastMs = -1;
    threshold.store(std::min(kMaxStaleMs, kGapFactor * kPriorGapMs), std::memory_order_relaxed);
}
