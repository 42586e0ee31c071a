// TO/GA supervision and the hand-over to autothrust.
#include <gtest/gtest.h>

#include "fmc/fmc_state.h"
#include "fmc/toga.h"
#include "shell/settings.h"
#include "tests/fmc/fmc_fixture.h"

namespace {

class TogaTest : public FmcTest {
protected:
    // The first call only records the switches.
    void Initialise(std::int32_t toga, std::int32_t autoThrust) {
        fakelink::Report(211, toga);
        fakelink::Report(22, autoThrust);
        ProcessTOGA();
        ASSERT_TRUE(SetList().empty());
        ASSERT_TRUE(fmcState.togaStarted);
    }
};

TEST_F(TogaTest, FirstCallSendsNothingWhateverTheSwitches) {
    fakelink::Report(16, 10.0);
    fakelink::Report(49, 5000.0);
    Initialise(1, 1);
    EXPECT_TRUE(Logged("TOGA initialized"));
    // From the second call on, TO/GA counts as steady on.
    fakelink::Report(22, 0);
    fakelink::Report(16, 90.0);
    fakelink::Report(49, 0.0);
    ProcessTOGA();
    EXPECT_TRUE(SetList().empty());
}

TEST_F(TogaTest, SwitchedOnStandingStillTakesAutothrustOffAndSetsThrottle) {
    Settings.debugFmc = false;  // these lines are written regardless
    Initialise(0, 1);
    fakelink::Report(2, 0.0);
    fakelink::Report(211, 1);
    ProcessTOGA();
    EXPECT_EQ(SetList(), (std::vector<std::string>{ConfirmSet(22, 0), ConfirmSet(179, 17444)}));
    EXPECT_EQ(fakelink::Sets()[1].atMs, kStartMs + 200);
    EXPECT_EQ(LogMessages(), (std::vector<std::string>{
                                 "ProcessTOGA() - Ground speed < 80",
                                 "ProcessTOGA() - Toga on, turning off AUTOTHRUST",
                                 "ProcessTOGA() - Setting throttle to 90%"}));
    // The autothrust watch saw 0 and recorded it without acting.
    EXPECT_EQ(fmcState.lastAutoThrust, 0);
    EXPECT_EQ(fmcState.lastToga, 1);
}

TEST_F(TogaTest, AutothrustAlreadyOffOnlySetsThrottle) {
    Initialise(0, 0);
    fakelink::Report(2, 79.9);
    fakelink::Report(211, 1);
    ProcessTOGA();
    EXPECT_EQ(SetList(), (std::vector<std::string>{ConfirmSet(179, 17444)}));
    EXPECT_TRUE(Logged("ProcessTOGA() - Changed to: 1"));
}

TEST_F(TogaTest, SwitchedOnAtEightyKnotsIsRefused) {
    Settings.debugFmc = false;
    Initialise(0, 0);
    fakelink::Report(2, 80.0);
    fakelink::Report(211, 1);
    ProcessTOGA();
    EXPECT_EQ(SetList(), (std::vector<std::string>{ConfirmSet(211, 0)}));
    EXPECT_EQ(LogMessages(), (std::vector<std::string>{
                                 "ProcessTOGA() - Ground Speed > 80. Setting TOGA to OFF"}));
}

TEST_F(TogaTest, LowThrottleIsResetEveryCallWhileOn) {
    Initialise(1, 0);
    fakelink::Report(16, 75.0);
    ProcessTOGA();
    ProcessTOGA();
    EXPECT_EQ(SetList(),
              (std::vector<std::string>{ConfirmSet(179, 14744), ConfirmSet(179, 14744)}));
    EXPECT_TRUE(Logged("ProcessTOGA() - Percent throttle: 75.000000. Resetting"));

    fakelink::ClearSets();
    fakelink::Report(16, 80.0);
    ProcessTOGA();
    EXPECT_TRUE(SetList().empty());
}

TEST_F(TogaTest, ClimbingThroughFourHundredFeetHandsOverToAutothrust) {
    Initialise(1, 0);
    fakelink::Report(16, 95.0);
    fakelink::Report(49, 400.0);
    ProcessTOGA();
    EXPECT_TRUE(SetList().empty());

    fakelink::Report(49, 400.5);
    ProcessTOGA();
    // The watch then sees autothrust come on and clears TO/GA once more.
    EXPECT_EQ(SetList(), (std::vector<std::string>{ConfirmSet(211, 0), ConfirmSet(22, 1),
                                                    ConfirmSet(211, 0)}));
    EXPECT_EQ(fakelink::Sets()[1].atMs, fakelink::Sets()[0].atMs + 200);
    EXPECT_EQ(fakelink::Sets()[2].atMs, fakelink::Sets()[1].atMs);
    EXPECT_TRUE(Logged("processTOGA() - Turning TOGA off and AutoThrust on"));
    EXPECT_TRUE(Logged("ProcessTOGA() - Auto Thrust turned on, turning off TO/GA"));
}

TEST_F(TogaTest, AutothrustSwitchedOnByTheUserEndsToga) {
    Initialise(1, 0);
    fakelink::Report(16, 95.0);
    fakelink::Report(22, 1);
    ProcessTOGA();
    EXPECT_EQ(SetList(), (std::vector<std::string>{ConfirmSet(211, 0)}));
    // Once recorded, autothrust staying on causes nothing more.
    fakelink::ClearSets();
    ProcessTOGA();
    EXPECT_TRUE(SetList().empty());
}

TEST_F(TogaTest, SwitchedOffByTheUserOnlyLogs) {
    Initialise(1, 0);
    fakelink::Report(211, 0);
    ProcessTOGA();
    EXPECT_TRUE(SetList().empty());
    EXPECT_TRUE(Logged("ProcessTOGA() - Changed to: 0"));
}

}  // namespace
