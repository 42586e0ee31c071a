// The stale threshold learned from the node's own pace, on made-up arrival
// times: a node that only sends keep-alives is never stale; one that
// streams and falls silent is stale within 2.5 s, as before.
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
    EXPECT_GE(StaleThresholdMs(), 15000);
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
    for (int i = 0; i < 10; ++i, now += 100) NoteNodeDatagram(now);
    now += 8000;  // one 8 s gap
    NoteNodeDatagram(now);
    EXPECT_EQ(StaleThresholdMs(), 24000);
    for (int i = 0; i < 800; ++i) NoteNodeDatagram(now += 100);  // 80 s of streaming
    EXPECT_EQ(StaleThresholdMs(), kMinStaleMs);
}

}  // namespace
