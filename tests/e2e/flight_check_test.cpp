#include "tests/e2e/flight_check.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace e2e {
namespace {

// A three-point plan flown by a synthetic transcript that the tests then spoil.
class FlightCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        plan_ = FlightPlan{};
        plan_.pointCount = 3;
        const double lat[] = {47.0, 47.3, 47.3};
        const double lon[] = {8.0, 8.0, 8.4};
        const float alt[] = {4000, 5000, 6000};
        for (int i = 0; i < 3; ++i) {
            plan_.points[i].latitude = lat[i];
            plan_.points[i].longitude = lon[i];
            plan_.points[i].altitude = alt[i];
        }
    }
    void Line(const std::string& text) { t_.push_back(ParseLine(text, time_ += 0.25)); }
    void Pos(double lat, double lon, double alt) {
        char buf[128];
        std::snprintf(buf, sizeof buf, "POS %.6f %.6f HDG 0.0 ALT %.0f SPD 250 T 0.0", lat, lon, alt);
        Line(buf);
    }
    void Set(int index, double value) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "SET %d = %g", index, value);
        Line(buf);
    }
    // Straight along each leg, climbing to each target on the way.
    void FlyGood(double offsetNm = 0.0, int offsetLeg = -1, double altitudeBoost = 0) {
        Pos(46.8, 8.0, 3000);
        Set(222, 0);
        Set(222, 0);
        for (int i = 0; i <= 10; ++i) Pos(46.8 + 0.02 * i, 8.0, 3000 + 100 * i + (offsetLeg == 0 ? altitudeBoost : 0));
        Set(222, 1);
        for (int i = 0; i <= 10; ++i) {
            Pos(47.0 + 0.03 * i, 8.0 + (offsetLeg == 1 && i > 5 ? offsetNm / 40.9 : 0), 4000 + 100 * i);
        }
        Set(222, 2);
        for (int i = 0; i <= 10; ++i) Pos(47.3, 8.0 + 0.04 * i, 5000 + 100 * i);
        Set(216, 0);
        Set(222, -1);
        Pos(47.3, 8.42, 6000);
    }
    std::vector<std::string> Check() { return CheckFlight(t_, plan_); }

    FlightPlan plan_;
    Transcript t_;
    double time_ = 0;
};

TEST_F(FlightCheckTest, GoodFlightPasses) {
    FlyGood();
    const std::vector<std::string> f = Check();
    EXPECT_TRUE(f.empty()) << f.front();
}

TEST_F(FlightCheckTest, EarlierResetsBeforeThePlanDoNotCount) {
    Set(222, -1);  // the first cycle's reset without a plan
    FlyGood();
    EXPECT_TRUE(Check().empty());
}

TEST_F(FlightCheckTest, SkippedPointFails) {
    Pos(46.8, 8.0, 3000);
    Set(222, 0);
    Pos(47.0, 8.0, 4000);
    Set(222, 2);
    Pos(47.3, 8.4, 6000);
    Set(216, 0);
    Set(222, -1);
    const std::vector<std::string> f = Check();
    ASSERT_EQ(f.size(), 1u);
    EXPECT_NE(f[0].find("points activated: 0 2 -1"), std::string::npos) << f[0];
}

TEST_F(FlightCheckTest, MissingEndFails) {
    FlyGood();
    t_.resize(t_.size() - 2);  // drop 222 = -1 and the last position
    EXPECT_FALSE(Check().empty());
}

TEST_F(FlightCheckTest, EndWithoutPlanFollowedClearedFails) {
    FlyGood();
    for (Event& e : t_) {
        if (e.kind == EventKind::kSet && e.index == 216) e.index = 100;
    }
    const std::vector<std::string> f = Check();
    ASSERT_EQ(f.size(), 1u);
    EXPECT_NE(f[0].find("216"), std::string::npos);
}

TEST_F(FlightCheckTest, WanderingOffALegFails) {
    FlyGood(2.5, 1);
    const std::vector<std::string> f = Check();
    ASSERT_EQ(f.size(), 1u);
    EXPECT_NE(f[0].find("leg to point 1"), std::string::npos) << f[0];
}

TEST_F(FlightCheckTest, SmallDeviationPasses) {
    FlyGood(1.5, 1);
    EXPECT_TRUE(Check().empty());
}

TEST_F(FlightCheckTest, NeverInterceptedFails) {
    Pos(46.8, 8.0, 3000);
    Set(222, 0);
    for (int i = 0; i <= 10; ++i) Pos(46.8 + 0.02 * i, 8.0, 3000 + 100 * i);
    Set(222, 1);
    for (int i = 0; i <= 10; ++i) Pos(47.0 + 0.03 * i, 8.1, 4000 + 100 * i);  // 4 nm east all the way
    Set(222, 2);
    for (int i = 0; i <= 10; ++i) Pos(47.3, 8.0 + 0.04 * i, 5000 + 100 * i);
    Set(216, 0);
    Set(222, -1);
    const std::vector<std::string> f = Check();
    ASSERT_EQ(f.size(), 1u);
    EXPECT_NE(f[0].find("leg to point 1 never intercepted"), std::string::npos) << f[0];
}

TEST_F(FlightCheckTest, AltitudeNotReachedFails) {
    plan_.points[2].altitude = 9000;
    FlyGood();
    const std::vector<std::string> f = Check();
    ASSERT_EQ(f.size(), 1u);
    EXPECT_NE(f[0].find("9000 ft of point 2 not reached"), std::string::npos) << f[0];
}

TEST_F(FlightCheckTest, AltitudeOvershootFails) {
    FlyGood(0, 0, 600);  // climbs to 4600 while point 0 (4000) is active
    const std::vector<std::string> f = Check();
    ASSERT_EQ(f.size(), 1u);
    EXPECT_NE(f[0].find("above the target 4000"), std::string::npos) << f[0];
}

TEST(Transcript, ParsesLines) {
    Event e = ParseLine("SET 221 = 92.5", 1.5);
    EXPECT_EQ(e.kind, EventKind::kSet);
    EXPECT_EQ(e.index, 221);
    EXPECT_EQ(e.value, 92.5);
    EXPECT_EQ(e.time, 1.5);
    e = ParseLine("POS 47.000000 8.500000 HDG 90.0 ALT 5000 SPD 250 T 12.0", 2);
    EXPECT_EQ(e.kind, EventKind::kPosition);
    EXPECT_EQ(e.longitude, 8.5);
    EXPECT_EQ(e.altitude, 5000);
    EXPECT_EQ(ParseLine("SET 222 = x", 0).kind, EventKind::kOther);
    EXPECT_EQ(ParseLine("SET 222 = 1 extra", 0).kind, EventKind::kOther);
    EXPECT_EQ(ParseLine("POS 47 8", 0).kind, EventKind::kOther);
    EXPECT_EQ(ParseLine("ACTIVE POINT 2", 0).kind, EventKind::kOther);
    Transcript t{ParseLine("KEEPALIVE from client (1)", 0), ParseLine("KEEPALIVE from client (2)", 0),
                 ParseLine("REPLY 127.0.0.1 9100", 0)};
    EXPECT_EQ(CountLines(t, "KEEPALIVE"), 2);
}

TEST(CrossTrack, Distances) {
    EXPECT_NEAR(CrossTrackNm(47.5, 8.0, 47.0, 8.0, 48.0, 8.0), 0.0, 1e-9);
    // One minute of longitude at 47 degrees is cos(47) nm.
    EXPECT_NEAR(CrossTrackNm(47.0, 8.1, 47.0, 8.0, 48.0, 8.0), 6.0 * 0.68200, 0.001);
    EXPECT_NEAR(CrossTrackNm(47.1, 8.1, 47.0, 8.0, 47.0, 9.0), 6.0, 1e-9);
}

}  // namespace
}  // namespace e2e
