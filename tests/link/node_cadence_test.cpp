// The stale threshold learned from the node's own pace, on made-up arrival
// times: a node that only sends keep-alives is never stale; one that
// streams and falls silent is stale within 2.5 s, as before; one pause does
// not blind the check, and no silence past the ceiling is ever live.
#include <gtest/gtest.h>

#include <cstdint>

#include "link/node_cadence.h"

namespace {

// Whether the page would show STALE at `nowMs`, the last datagram at `lastMs`.
bool Stale(std::int64_t nowMs, std::int64_t lastMs) { return nowMs - lastMs > StaleThresholdMs(); }

TEST(NodeCadenceTest, KeepAlivesEveryFiveSecondsAreNeverStale) {
    ResetNodeCadence();
    std::int64_t last = 1000;
    NoteNodeDatagram(last);
    for (std::int64_t now = last; now < 5 * 60 * 1000; now += 100) {
        if (now - last >= 5000) {
            last = now;
            NoteNodeDatagram(now);
        }
        ASSERT_FALSE(Stale(now, last)) << now;
    }
    EXPECT_EQ(StaleThresholdMs(), kMaxStaleMs);
}

TEST(NodeCadenceTest, TenHertzThenSilenceIsStaleWithinTwoAndAHalfSeconds) {
    ResetNodeCadence();
    std::int64_t now = 1000;
    for (int i = 0; i < 600; ++i, now += 100) NoteNodeDatagram(now);
    const std::int64_t last = now - 100;
    EXPECT_EQ(StaleThresholdMs(), kMinStaleMs);
    EXPECT_FALSE(Stale(last + 1900, last));
    EXPECT_TRUE(Stale(last + 2500, last));
}

TEST(NodeCadenceTest, ALongGapIsForgottenAfterAboutAMinute) {
    ResetNodeCadence();
    std::int64_t now = 0;
    NoteNodeDatagram(now);
    for (int i = 0; i < 10; ++i) NoteNodeDatagram(now += 100);
    NoteNodeDatagram(now += 8000);  // one 8 s gap
    EXPECT_EQ(StaleThresholdMs(), kMaxStaleMs);
    for (int i = 0; i < 800; ++i) NoteNodeDatagram(now += 100);  // 80 s of streaming
    EXPECT_EQ(StaleThresholdMs(), kMinStaleMs);
}

// A minute at 10 Hz with one 6 s pause in it, then `after`: the threshold
// that the silence following it is judged by.
std::int64_t ThresholdAfterPause(void (*after)(std::int64_t*)) {
    ResetNodeCadence();
    std::int64_t now = 0;
    for (int i = 0; i < 300; ++i) NoteNodeDatagram(now += 100);
    NoteNodeDatagram(now += 6000);
    after(&now);
    return StaleThresholdMs();
}

TEST(NodeCadenceTest, OnePauseDoesNotBlindTheCheck) {
    // Streaming again after the pause: a silence is stale at the floor.
    EXPECT_EQ(ThresholdAfterPause([](std::int64_t* now) {
                  for (int i = 0; i < 300; ++i) NoteNodeDatagram(*now += 100);
              }),
              kMinStaleMs);
    // Silent right after the pause: stale within the ceiling, not 18 s.
    EXPECT_EQ(ThresholdAfterPause([](std::int64_t*) {}), kMaxStaleMs);
    // Dropping to keep-alives every 2 s: followed at once, never stale.
    EXPECT_GE(ThresholdAfterPause([](std::int64_t* now) {
                  for (int i = 0; i < 3; ++i) NoteNodeDatagram(*now += 2000);
              }),
              3 * 2000);
}

}  // namespace
