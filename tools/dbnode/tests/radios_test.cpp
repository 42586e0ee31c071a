#include "tools/dbnode/radios.h"

#include <gtest/gtest.h>

#include <map>

#include "tools/dbnode/var_types.h"

namespace dbnode {
namespace {

std::map<int, double> Reported(const Radios& r) {
    std::map<int, double> v;
    ReportRadios(r, [&](int index, double value) { v[index] = value; });
    return v;
}

TEST(Radios, NavStepsTuneTheStandbyAndWrap) {
    Radios r;
    r.navStandby[0] = 117.95;
    ApplyRadioCommand(&r, 76, 0);  // NAV1 whole up: 117 -> wraps to 108
    EXPECT_NEAR(Reported(r)[30], 108.95, 1e-9);
    ApplyRadioCommand(&r, 78, 0);  // fraction up: .95 -> .00 in the same MHz
    EXPECT_NEAR(Reported(r)[30], 108.00, 1e-9);
    ApplyRadioCommand(&r, 82, 0);  // fraction down: back to .95
    EXPECT_NEAR(Reported(r)[30], 108.95, 1e-9);
    ApplyRadioCommand(&r, 80, 0);  // whole down: 108 -> 117
    EXPECT_NEAR(Reported(r)[30], 117.95, 1e-9);
    ApplyRadioCommand(&r, 77, 0);  // NAV2 only
    EXPECT_NEAR(Reported(r)[73], 112.70, 1e-9);
    EXPECT_NEAR(Reported(r)[30], 117.95, 1e-9);
}

TEST(Radios, ComStepsUseQuarterChannels) {
    Radios r;
    r.comStandby[1] = 136.975;
    ApplyRadioCommand(&r, 95, 0);  // COM2 fraction up wraps within 136
    EXPECT_NEAR(Reported(r)[89], 136.000, 1e-9);
    ApplyRadioCommand(&r, 93, 0);  // whole up wraps to 118
    EXPECT_NEAR(Reported(r)[89], 118.000, 1e-9);
    for (int i = 0; i < 40; ++i) ApplyRadioCommand(&r, 94, 0);  // COM1: 121.500 + 40 x 0.025
    EXPECT_NEAR(Reported(r)[88], 121.500, 1e-9);
}

TEST(Radios, TransfersSwap) {
    Radios r;
    ApplyRadioCommand(&r, 74, 0);
    std::map<int, double> v = Reported(r);
    EXPECT_NEAR(v[27], 113.90, 1e-9);
    EXPECT_NEAR(v[30], 110.50, 1e-9);
    ApplyRadioCommand(&r, 91, 0);
    v = Reported(r);
    EXPECT_NEAR(v[87], 119.10, 1e-9);
    EXPECT_NEAR(v[89], 122.80, 1e-9);
}

TEST(Radios, AdfStepsCarryTheirAmount) {
    Radios r;
    ApplyRadioCommand(&r, 180, 1000);
    ApplyRadioCommand(&r, 183, 1);
    std::map<int, double> v = Reported(r);
    EXPECT_EQ(v[227], 4520);
    EXPECT_EQ(v[228], 4099);
    ApplyRadioCommand(&r, 182, 3000);  // 4520 - 3000 = 1520: below 190.0, wraps to the top
    EXPECT_EQ(Reported(r)[227], 17999 - (1900 - 1520 - 1));
}

TEST(Radios, BcdTunesNavActive) {
    Radios r;
    ApplyRadioCommand(&r, 126, 0x1390);
    ApplyRadioCommand(&r, 127, 0x0800);
    std::map<int, double> v = Reported(r);
    EXPECT_NEAR(v[27], 113.90, 1e-9);
    EXPECT_NEAR(v[66], 108.00, 1e-9);
    ApplyRadioCommand(&r, 126, 0x13A0);  // not BCD: ignored
    EXPECT_NEAR(Reported(r)[27], 113.90, 1e-9);
    EXPECT_FALSE(ApplyRadioCommand(&r, 125, 0));
}

TEST(Radios, NavBcd) {
    EXPECT_NEAR(NavBcdToMhz(0x1390), 113.90, 1e-9);
    EXPECT_NEAR(NavBcdToMhz(0x0800), 108.00, 1e-9);
    EXPECT_EQ(NavBcdToMhz(0), 0.0);
    EXPECT_EQ(NavBcdToMhz(0x13A0), 0.0);
    EXPECT_EQ(NavBcdToMhz(-1), 0.0);
}

// The reported frequencies must travel with the widths the client expects.
TEST(Radios, ReportedTypes) {
    for (const auto& [index, value] : Reported(Radios{})) {
        const VarType expected = index >= 227 ? VarType::kInt : VarType::kReal;
        EXPECT_EQ(TypeOf(index), expected) << index;
    }
}

}  // namespace
}  // namespace dbnode
