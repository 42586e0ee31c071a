#include "tools/dbnode/aircraft_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "tools/dbnode/nav_math.h"
#include "tools/dbnode/var_types.h"

namespace dbnode {
namespace {

void Fly(AircraftModel* m, double seconds) {
    double carry = 0;
    AdvanceModel(m, seconds, &carry);
}

std::map<int, double> Reported(const AircraftModel& m) {
    std::map<int, double> values;
    ReportVariables(m, [&](int index, double value) { values[index] = value; });
    return values;
}

TEST(AircraftModel, TurnsAtStandardRateAndStopsOnTheSelection) {
    AircraftModel m;
    StartAirborne(&m, 47, 8, 0, 5000, 250);
    ApplyVariable(&m, 122, 90);
    Fly(&m, 10);
    EXPECT_NEAR(m.heading, 30.0, 1e-6);
    Fly(&m, 25);
    EXPECT_NEAR(m.heading, 90.0, 1e-9);
    Fly(&m, 10);
    EXPECT_NEAR(m.heading, 90.0, 1e-9);
}

TEST(AircraftModel, TurnsTheShortWayAcrossNorth) {
    AircraftModel m;
    StartAirborne(&m, 47, 8, 350, 5000, 250);
    ApplyVariable(&m, 122, 20);
    Fly(&m, 5);
    EXPECT_NEAR(m.heading, 5.0, 1e-6);
    ApplyVariable(&m, 122, 300);
    Fly(&m, 5);
    EXPECT_NEAR(m.heading, 350.0, 1e-6);
}

TEST(AircraftModel, NoTurnWithoutHeadingHold) {
    AircraftModel m;
    StartAirborne(&m, 47, 8, 0, 5000, 250);
    ApplyVariable(&m, 50, 0);
    ApplyVariable(&m, 122, 90);
    Fly(&m, 10);
    EXPECT_EQ(m.heading, 0.0);
}

TEST(AircraftModel, ClimbsAtTheCommandedRateToTheSelectedAltitude) {
    AircraftModel m;
    StartAirborne(&m, 47, 8, 0, 3000, 250);
    ApplyVariable(&m, 123, 5000);
    ApplyVariable(&m, 20, 1500.0001);
    Fly(&m, 60);
    EXPECT_NEAR(m.altitude, 4500.0, 0.01);
    EXPECT_NEAR(m.verticalSpeed, 1500.0001, 1e-9);
    Fly(&m, 60);
    EXPECT_EQ(m.altitude, 5000.0);  // stops exactly there
    EXPECT_EQ(m.verticalSpeed, 0.0);
    // Descends the same way.
    ApplyVariable(&m, 123, 4000);
    ApplyVariable(&m, 20, -1800);
    Fly(&m, 60);
    EXPECT_EQ(m.altitude, 4000.0);
}

TEST(AircraftModel, RateAwayFromTheSelectionHoldsAltitude) {
    AircraftModel m;
    StartAirborne(&m, 47, 8, 0, 3000, 250);
    ApplyVariable(&m, 123, 5000);
    ApplyVariable(&m, 20, -1000);
    Fly(&m, 30);
    EXPECT_EQ(m.altitude, 3000.0);
    ApplyVariable(&m, 20, 1000);
    ApplyVariable(&m, 25, 0);  // altitude hold off
    Fly(&m, 30);
    EXPECT_EQ(m.altitude, 3000.0);
}

TEST(AircraftModel, AutothrustAcceleratesTowardTheSelectedSpeed) {
    AircraftModel m;
    StartAirborne(&m, 47, 8, 0, 3000, 200);
    ApplyVariable(&m, 124, 250);
    Fly(&m, 10);
    EXPECT_NEAR(m.speed, 220.0, 1e-6);
    EXPECT_EQ(m.throttle, 85.0);
    Fly(&m, 30);
    EXPECT_EQ(m.speed, 250.0);
    EXPECT_EQ(m.throttle, 60.0);
}

TEST(AircraftModel, MovesAlongItsHeadingAtGroundSpeed) {
    AircraftModel m;
    StartAirborne(&m, 47, 8, 0, 3000, 240);
    Fly(&m, 900);  // 60 nm north
    EXPECT_NEAR(DistanceNm(47, 8, m.latitude, m.longitude), 60.0, 0.01);
    EXPECT_NEAR(m.latitude, 48.0, 0.001);
    EXPECT_NEAR(m.longitude, 8.0, 1e-9);

    StartAirborne(&m, 47, 8, 90, 3000, 240);
    Fly(&m, 150);  // 10 nm east
    EXPECT_NEAR(DistanceNm(47, 8, m.latitude, m.longitude), 10.0, 0.01);
    EXPECT_GT(m.longitude, 8.0);
}

TEST(AircraftModel, DeterministicAndIndependentOfTickSize) {
    auto fly = [](double chunk) {
        AircraftModel m;
        StartAirborne(&m, 47, 8, 10, 3000, 250);
        ApplyVariable(&m, 122, 100);
        ApplyVariable(&m, 123, 6000);
        ApplyVariable(&m, 20, 1500);
        double carry = 0;
        for (double t = 0; t < 120 - 1e-9; t += chunk) AdvanceModel(&m, chunk, &carry);
        return m;
    };
    const AircraftModel a = fly(0.25);
    const AircraftModel b = fly(0.25);
    EXPECT_EQ(std::memcmp(&a.latitude, &b.latitude, sizeof a.latitude), 0);
    EXPECT_EQ(a.longitude, b.longitude);
    EXPECT_EQ(a.heading, b.heading);
    const AircraftModel c = fly(1.0);
    EXPECT_NEAR(a.latitude, c.latitude, 1e-9);
    EXPECT_NEAR(a.longitude, c.longitude, 1e-9);
    EXPECT_NEAR(a.altitude, c.altitude, 1e-6);
    EXPECT_EQ(a.heading, 100.0);
}

TEST(AircraftModel, ModeCommandsAreReportedInTheirStateVariables) {
    AircraftModel m;
    ApplyVariable(&m, 172, 1);
    ApplyVariable(&m, 173, 1);
    ApplyVariable(&m, 108, 1);
    ApplyVariable(&m, 109, 1);
    ApplyVariable(&m, 184, 1);
    ApplyVariable(&m, 118, 45);
    ApplyVariable(&m, 119, 270);
    ApplyVariable(&m, 122, 123);
    ApplyVariable(&m, 123, 7000);
    ApplyVariable(&m, 124, 280);
    ApplyVariable(&m, 179, 14744);
    ApplyVariable(&m, 126, 0x1390);
    std::map<int, double> v = Reported(m);
    EXPECT_EQ(v[170], 1);
    EXPECT_EQ(v[171], 1);
    EXPECT_EQ(v[111], 1);
    EXPECT_EQ(v[113], 1);
    EXPECT_EQ(v[121], 1);
    EXPECT_EQ(v[67], 45);
    EXPECT_EQ(v[68], 270);
    EXPECT_EQ(v[15], 123);
    EXPECT_EQ(v[14], 7000);
    EXPECT_EQ(v[17], 280);
    EXPECT_NEAR(v[16], 90.0, 0.01);  // percent
    EXPECT_NEAR(v[27], 113.90, 1e-9);
    EXPECT_NEAR(v[66], 108.00, 1e-9);  // NAV2 not tuned: as it started
    ApplyVariable(&m, 172, 0);
    EXPECT_EQ(Reported(m)[170], 0);
}

// A reported variable without an integer or real type would stop the client.
TEST(AircraftModel, EveryReportedVariableCanTravel) {
    AircraftModel m;
    StartAirborne(&m, 47, 8, 0, 3000, 250);
    ApplyVariable(&m, 126, 0x1390);
    ApplyVariable(&m, 127, 0x0800);
    const std::map<int, double> v = Reported(m);
    EXPECT_GE(v.size(), 24u);
    for (const auto& [index, value] : v) {
        EXPECT_GT(ValueWidth(index), 0u) << index;
        EXPECT_LT(index, kClientVarCount) << index;
    }
    for (int index : {2, 6, 8, 11, 12, 14, 15, 16, 17, 20, 49, 54}) {
        EXPECT_EQ(TypeOf(index), VarType::kReal) << index;
        EXPECT_EQ(v.count(index), 1u) << index;
    }
    for (int index : {22, 25, 50, 170, 171}) EXPECT_EQ(TypeOf(index), VarType::kInt) << index;
}

}  // namespace
}  // namespace dbnode
