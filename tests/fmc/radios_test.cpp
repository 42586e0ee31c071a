#include <gtest/gtest.h>

#include <cstdint>

#include "fmc/fmc_state.h"
#include "fmc/radios.h"
#include "shell/settings.h"
#include "tests/fmc/fmc_fixture.h"

namespace {

TEST(BinToBCD, KeepsTheFourLowestDigits) {
    EXPECT_EQ(BinToBCD(11390), 0x1390);
    EXPECT_EQ(BinToBCD(11390), 5008);
    EXPECT_EQ(BinToBCD(10800), 0x0800);
    EXPECT_EQ(BinToBCD(9999), 0x9999);
    EXPECT_EQ(BinToBCD(12345), 0x2345);
    EXPECT_EQ(BinToBCD(7), 0x0007);
    EXPECT_EQ(BinToBCD(0), 0);
    EXPECT_EQ(BinToBCD(32767), 0x2767);
}

TEST(BinToBCD, NegativeValuesAreNoFrequency) {
    EXPECT_EQ(BinToBCD(-1), 0);
    EXPECT_EQ(BinToBCD(-11390), 0);
    EXPECT_EQ(BinToBCD(INT32_MIN), 0);
}

class RadiosTest : public FmcTest {
protected:
    void SetUp() override {
        FmcTest::SetUp();
        FlightPoint p0 = MakePoint(0, 0);
        p0.nav1Frequency = 11390;
        p0.nav2Frequency = 10800;
        FlightPoint p1 = MakePoint(0, 1);
        p1.nav2Frequency = 11130;
        FlightPoint p2 = MakePoint(0, 2);
        p2.nav1Frequency = -11390;
        p2.nav2Frequency = 11250;
        FlightPoint p3 = MakePoint(0, 3);  // both 0
        LoadPlanCopy(MakePlan(1, {p0, p1, p2, p3}));
    }
};

TEST_F(RadiosTest, NothingIsTunedBeforeTheFirstActivation) {
    ProcessRadios(0);
    EXPECT_TRUE(SetList().empty());
    EXPECT_EQ(fmcState.radioTuneCount, 3);
}

TEST_F(RadiosTest, ThreeTuningsPerActivationThenNone) {
    fmcState.radioTuneCount = 0;
    for (int i = 0; i < 5; ++i) ProcessRadios(0);
    const std::vector<std::string> once = {IntSet(126, 0x1390), IntSet(127, 0x0800)};
    std::vector<std::string> expected;
    for (int i = 0; i < 3; ++i) expected.insert(expected.end(), once.begin(), once.end());
    EXPECT_EQ(SetList(), expected);
    EXPECT_EQ(fmcState.radioTuneCount, 3);
    // Tuning sends no pause.
    EXPECT_EQ(fakelink::NowMs(), kStartMs);
}

TEST_F(RadiosTest, OnlyTheRadiosWithAFrequencyAreSent) {
    fmcState.radioTuneCount = 2;
    ProcessRadios(1);
    EXPECT_EQ(SetList(), (std::vector<std::string>{IntSet(127, 0x1130)}));
}

TEST_F(RadiosTest, NegativeFrequencyDoesNotTuneThatRadio) {
    fmcState.radioTuneCount = 2;
    ProcessRadios(2);
    EXPECT_EQ(SetList(), (std::vector<std::string>{IntSet(127, 0x1250)}));
}

TEST_F(RadiosTest, NoFrequenciesStillCountTowardTheThree) {
    fmcState.radioTuneCount = 0;
    ProcessRadios(3);
    ProcessRadios(3);
    EXPECT_TRUE(SetList().empty());
    EXPECT_EQ(fmcState.radioTuneCount, 2);
}

TEST_F(RadiosTest, IndexOutsideThePlanTunesNothingAndCountsNothing) {
    fmcState.radioTuneCount = 0;
    ProcessRadios(-1);
    ProcessRadios(4);   // beyond pointCount
    ProcessRadios(15);  // beyond the record
    EXPECT_TRUE(SetList().empty());
    EXPECT_EQ(fmcState.radioTuneCount, 0);
}

TEST_F(RadiosTest, DebugLinesNameIndexFrequenciesAndBcd) {
    fmcState.radioTuneCount = 2;
    ProcessRadios(0);
    EXPECT_TRUE(Logged("ProcessRadios() - Index: 0"));
    EXPECT_TRUE(Logged("ProcessRadios() - Nav1: 11390  Nav2: 10800"));
    EXPECT_TRUE(Logged("BinToBCD() - BinVal: 11390: BCDVal: 1390"));
    EXPECT_TRUE(Logged("BinToBCD() - BinVal: 10800: BCDVal: 800"));
}

TEST_F(RadiosTest, NoDebugLinesWithoutTheDebugSetting) {
    Settings.debugFmc = false;
    fmcState.radioTuneCount = 2;
    ProcessRadios(0);
    EXPECT_EQ(SetList().size(), 2u);
    EXPECT_TRUE(LogMessages().empty());
}

}  // namespace
