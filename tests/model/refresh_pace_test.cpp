// The data wakes' token bucket, on a clock the test moves by hand.
#include <gtest/gtest.h>

#include "model/refresh_pace.h"

namespace {

using model::TokenBucket;
using std::chrono::milliseconds;

TEST(TokenBucketTest, BurstThenRateAndNeverAboveTheBurst) {
    TokenBucket bucket(4, 2);  // four a second, two at once
    TokenBucket::Clock::time_point now{};
    bucket.Refill(now);  // the first refill fills it
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(bucket.Ready());
        bucket.Spend();
    }
    EXPECT_FALSE(bucket.Ready());
    EXPECT_EQ(bucket.UntilReady(), milliseconds(250));
    bucket.Refill(now += milliseconds(100));
    EXPECT_FALSE(bucket.Ready());
    EXPECT_EQ(std::chrono::duration_cast<milliseconds>(bucket.UntilReady()), milliseconds(150));
    bucket.Refill(now += milliseconds(150));
    EXPECT_TRUE(bucket.Ready());
    bucket.Refill(now += std::chrono::seconds(10));  // a parked aircraft
    EXPECT_DOUBLE_EQ(bucket.Tokens(), 2);
    bucket.Refill(now - std::chrono::seconds(1));  // a clock that goes back earns nothing
    EXPECT_DOUBLE_EQ(bucket.Tokens(), 2);
}

TEST(TokenBucketTest, AGrantTopsUpToTheBurstAndNoRateMeansNoLimit) {
    TokenBucket bucket(4, 4);
    bucket.Refill({});
    for (int i = 0; i < 4; ++i) bucket.Spend();
    bucket.Grant(2);  // a pilot's wake
    EXPECT_DOUBLE_EQ(bucket.Tokens(), 2);
    bucket.Grant(1);  // never takes away
    EXPECT_DOUBLE_EQ(bucket.Tokens(), 2);
    TokenBucket small(4, 1);
    small.Refill({});
    small.Spend();
    small.Grant(2);
    EXPECT_DOUBLE_EQ(small.Tokens(), 1);  // capped at the burst

    TokenBucket unlimited(0, 1);
    unlimited.Refill({});
    for (int i = 0; i < 5; ++i) unlimited.Spend();
    EXPECT_TRUE(unlimited.Ready());
    EXPECT_EQ(unlimited.UntilReady(), TokenBucket::Clock::duration::zero());
}

}  // namespace
