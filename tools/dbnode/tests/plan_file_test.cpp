#include "tools/dbnode/plan_file.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tools/dbnode/nav_math.h"

namespace dbnode {
namespace {

TEST(PlanFile, ParsesNamedFields) {
    FlightPlan plan;
    std::string error;
    ASSERT_TRUE(ParsePlanText(
        "# comment\n"
        "\n"
        "lat=47.0 lon=8.0 speed=250 alt=5000 course=90 nav1=11390 nav2=10800 vs=1200 crs1=45 crs2=270\r\n"
        "   lat=47.5 lon=-8.25\n",
        7, &plan, &error))
        << error;
    EXPECT_EQ(plan.pointCount, 2);
    EXPECT_EQ(plan.serial, 7);
    const FlightPoint& p = plan.points[0];
    EXPECT_EQ(p.latitude, 47.0);
    EXPECT_EQ(p.longitude, 8.0);
    EXPECT_EQ(p.speed, 250.0F);
    EXPECT_EQ(p.altitude, 5000.0F);
    EXPECT_EQ(p.course, 90.0F);
    EXPECT_EQ(p.nav1Frequency, 11390);
    EXPECT_EQ(p.nav2Frequency, 10800);
    EXPECT_EQ(p.verticalSpeed, 1200);
    EXPECT_EQ(p.nav1Course, 45);
    EXPECT_EQ(p.nav2Course, 270);
    const FlightPoint& q = plan.points[1];
    EXPECT_EQ(q.longitude, -8.25);
    EXPECT_EQ(q.speed, 0.0F);
    EXPECT_EQ(q.nav1Course, -1);  // leave the course alone
    EXPECT_EQ(q.nav2Course, -1);
    EXPECT_EQ(q.course, 0.0F);    // last point: no leg after it
    EXPECT_EQ(plan.points[2].latitude, 0.0);
}

TEST(PlanFile, OmittedCourseIsTheBearingToTheNextPoint) {
    FlightPlan plan;
    std::string error;
    ASSERT_TRUE(ParsePlanText("lat=0 lon=0\nlat=0 lon=1\nlat=1 lon=1\n", 1, &plan, &error)) << error;
    EXPECT_NEAR(plan.points[0].course, 90.0, 1e-4);
    EXPECT_NEAR(plan.points[1].course, 0.0, 1e-4);
}

void ExpectError(const std::string& text, const std::string& fragment) {
    FlightPlan plan;
    std::string error;
    EXPECT_FALSE(ParsePlanText(text, 1, &plan, &error)) << text;
    EXPECT_NE(error.find(fragment), std::string::npos) << "error was: " << error;
}

TEST(PlanFile, RejectsBadLines) {
    ExpectError("lat=47 lon=8\nlat=47 lon=8 color=red\n", "line 2: unknown field 'color'");
    ExpectError("lat=47 lon=8 speed=fast\n", "line 1: bad value for speed");
    ExpectError("lat=47 lon=8 alt=5000ft\n", "bad value for alt");
    ExpectError("lat=95 lon=8\n", "bad value for lat");
    ExpectError("lat=47 lon=181\n", "bad value for lon");
    ExpectError("lat=47 lon=8 nav1=40000\n", "bad value for nav1");
    ExpectError("lat=47 lon=8 vs=1.5\n", "bad value for vs");
    ExpectError("lat=47 lon=8 course=-10\n", "bad value for course");
    ExpectError("lat=47\n", "needs lat and lon");
    ExpectError("lat=47 lon=8 5000\n", "expected name=value");
    ExpectError("lat=47 lon=8 =5\n", "expected name=value");
    ExpectError("lat=47 lon=\n", "bad value for lon");
    ExpectError("# nothing\n\n", "no points");
    ExpectError("", "no points");
}

TEST(PlanFile, AtMostFifteenPoints) {
    std::string text;
    for (int i = 0; i < 15; ++i) text += "lat=" + std::to_string(i * 0.1) + " lon=8\n";
    FlightPlan plan;
    std::string error;
    ASSERT_TRUE(ParsePlanText(text, 1, &plan, &error)) << error;
    EXPECT_EQ(plan.pointCount, 15);
    ExpectError(text + "# a comment does not count\nlat=3 lon=8\n", "line 17: more than 15 points");
}

TEST(PlanFile, MissingFile) {
    FlightPlan plan;
    std::string error;
    EXPECT_FALSE(LoadPlanFile("/nonexistent/plan.txt", 1, &plan, &error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
}

// The demo's plan: at least five points, turns of 30 to 90 degrees, climbing targets.
TEST(PlanFile, SamplePlanShape) {
    FlightPlan plan;
    std::string error;
    ASSERT_TRUE(LoadPlanFile(ORV_DBNODE_SAMPLE_PLAN, 1, &plan, &error)) << error;
    ASSERT_GE(plan.pointCount, 5);
    for (int i = 1; i < plan.pointCount; ++i) {
        EXPECT_GT(plan.points[i].altitude, plan.points[i - 1].altitude) << "point " << i;
        const double legNm = DistanceNm(plan.points[i - 1].latitude, plan.points[i - 1].longitude,
                                        plan.points[i].latitude, plan.points[i].longitude);
        EXPECT_GT(legNm, 10.0) << "leg to point " << i;  // beyond two sequencing radii
    }
    for (int i = 1; i + 1 < plan.pointCount; ++i) {
        const double turn = std::fabs(TurnDeg(plan.points[i - 1].course, plan.points[i].course));
        EXPECT_GE(turn, 30.0 - 0.5) << "turn at point " << i;
        EXPECT_LE(turn, 90.0 + 0.5) << "turn at point " << i;
    }
}

}  // namespace
}  // namespace dbnode
