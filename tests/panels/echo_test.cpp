// Values set from a panel are held on screen until the simulator reports them.
#include <thread>

#include "panel_test_support.h"
#include "panels/autopilot.h"
#include "panels/navdisp.h"
#include "panels/panel_text.h"
#include "resources/resource.h"

using fake::FakeDialog;
using fake::Strings;

namespace {

constexpr int kUp = -1;  // an up arrow's delta

// Refreshes until `field` is written; the number of refreshes that took.
int RefreshesUntilWritten(FakeDialog& dialog, int field, int limit = 30) {
    const std::string prefix = "T" + std::to_string(field) + "=";
    fake::TakeTrace();  // the step's own write
    for (int n = 1; n <= limit; ++n) {
        UpdateAutopilot(&dialog);
        for (const std::string& e : fake::TakeTrace()) {
            if (e.rfind(prefix, 0) == 0) return n;
        }
    }
    return -1;
}

}  // namespace

using EchoTest = PanelTest;

TEST_F(EchoTest, SetPointHeldUntilReportedOrTenRefreshes) {
    FakeDialog dialog{fake::kAutopilotIds};
    fake::SetVar(14, 10000);
    dialog.Put(IDC_SET_ALTITUDE, "10000 ");
    SpinAutopilot(&dialog, IDC_ALTITUDE_FINE, kUp);
    // Never reported: ten refreshes keep " 10100", the eleventh shows the report.
    EXPECT_EQ(RefreshesUntilWritten(dialog, IDC_SET_ALTITUDE), 11);
    EXPECT_EQ(dialog.Text(IDC_SET_ALTITUDE), "10000 ");
    EXPECT_FALSE(PanelEcho.altitudePending);
    EXPECT_EQ(PanelEcho.echoTicks, 0);

    // Reported at once: written by the first refresh.
    SpinAutopilot(&dialog, IDC_ALTITUDE_FINE, kUp);
    fake::SetVar(14, 10099.995);
    EXPECT_EQ(RefreshesUntilWritten(dialog, IDC_SET_ALTITUDE), 1);
    EXPECT_EQ(dialog.Text(IDC_SET_ALTITUDE), "10100 ");
    EXPECT_FALSE(PanelEcho.altitudePending);
}

TEST_F(EchoTest, TwoWaitingFieldsShareOneCounter) {
    FakeDialog dialog{fake::kAutopilotIds};
    dialog.Put(IDC_SET_ALTITUDE, "10000 ");
    dialog.Put(IDC_SET_HEADING, "100 ");
    SpinAutopilot(&dialog, IDC_ALTITUDE_FINE, kUp);
    SpinAutopilot(&dialog, IDC_HEADING_FINE, kUp);
    fake::TakeTrace();
    // Both count on each refresh: heading reaches 10 at the fifth and is
    // written at the sixth; altitude starts again from 0 and needs ten more.
    int headingAt = -1;
    int altitudeAt = -1;
    for (int n = 1; n <= 20; ++n) {
        UpdateAutopilot(&dialog);
        for (const std::string& e : fake::TakeTrace()) {
            if (headingAt < 0 && e.rfind("T1016=", 0) == 0) headingAt = n;
            if (altitudeAt < 0 && e.rfind("T1018=", 0) == 0) altitudeAt = n;
        }
    }
    EXPECT_EQ(headingAt, 6);
    EXPECT_EQ(altitudeAt, 16);
}

TEST_F(EchoTest, ConfirmationDoesNotResetTheCounter) {
    FakeDialog dialog{fake::kAutopilotIds};
    dialog.Put(IDC_SET_SPEED, "200 ");
    SpinAutopilot(&dialog, IDC_SPEED_FINE, kUp);  // speed 201, not reported yet
    for (int i = 0; i < 3; ++i) UpdateAutopilot(&dialog);
    fake::SetVar(17, 201);
    UpdateAutopilot(&dialog);  // confirmed; the count stays at 3
    EXPECT_FALSE(PanelEcho.speedPending);
    EXPECT_EQ(PanelEcho.echoTicks, 3);
    fake::TakeTrace();
    dialog.Put(IDC_SET_ALTITUDE, "5000 ");
    SpinAutopilot(&dialog, IDC_ALTITUDE_COARSE, kUp);
    EXPECT_EQ(RefreshesUntilWritten(dialog, IDC_SET_ALTITUDE), 8);  // 7 to reach 10, then written
}

TEST_F(EchoTest, HeadingOf360IsNeverConfirmed) {
    FakeDialog dialog{fake::kAutopilotIds};
    dialog.Put(IDC_SET_HEADING, "359 ");
    SpinAutopilot(&dialog, IDC_HEADING_FINE, kUp);
    fake::SetVar(15, 360.0);  // reported, but shown as 0
    EXPECT_EQ(RefreshesUntilWritten(dialog, IDC_SET_HEADING), 11);
    EXPECT_EQ(dialog.Text(IDC_SET_HEADING), "  0 ");
}

TEST_F(EchoTest, CourseResentEveryRefreshUntilReported) {
    FakeDialog dialog{fake::kNavDispIds};
    fake::SetVar(67, 355);
    dialog.Put(IDC_CAPT_COURSE, "  355 ");
    EXPECT_TRUE(SpinNavDisp(&dialog, IDC_CAPT_COURSE_COARSE, kUp));
    EXPECT_EQ(dialog.Text(IDC_CAPT_COURSE), " 5 ");
    fake::TakeTrace();

    for (int i = 0; i < 3; ++i) {
        UpdateNavDisp(&dialog);
        const Strings trace = fake::TakeTrace();
        ASSERT_FALSE(trace.empty());
        EXPECT_EQ(trace[trace.size() - 2], "118:=5");  // before the FO course
        EXPECT_EQ(dialog.Text(IDC_CAPT_COURSE), " 5 ");
    }
    fake::SetVar(67, 4.995);  // counts as 5 after the bias
    UpdateNavDisp(&dialog);
    const Strings trace = fake::TakeTrace();
    EXPECT_EQ(trace[trace.size() - 2], "T1055=    5 ");
    EXPECT_FALSE(PanelEcho.courseCaptPending);
    UpdateNavDisp(&dialog);
    for (const std::string& e : fake::TakeTrace()) EXPECT_NE(e, "118:=5");
}

TEST_F(EchoTest, PendingCourseLoggedEachRefreshWhileNotConnected) {
    FakeDialog dialog{fake::kNavDispIds};
    fake::SetVar(52, 0);
    fake::SetVar(68, 90);
    dialog.Put(IDC_FO_COURSE, "   90 ");
    SpinNavDisp(&dialog, IDC_FO_COURSE_FINE, kUp);
    for (int i = 0; i < 3; ++i) UpdateNavDisp(&dialog);
    for (const std::string& e : fake::TakeTrace()) EXPECT_NE(e, "119:=91");
    EXPECT_EQ(LogLines(), Strings(3, "KeyCRi() - Not Connected"));
    EXPECT_TRUE(PanelEcho.courseFOPending);
    EXPECT_EQ(dialog.Text(IDC_FO_COURSE), " 91 ");
}

// The GUI thread steps while the refresh thread refreshes and the simulator
// echoes what it was sent; run under ThreadSanitizer this shows the shared
// record is race-free, and at the end the last value set must not be lost.
TEST_F(EchoTest, GuiAndRefreshThreadsShareTheRecord) {
    FakeDialog dialog{fake::kAutopilotIds, fake::kNavDispIds};
    dialog.Put(IDC_CAPT_COURSE, "  100 ");
    dialog.Put(IDC_SET_ALTITUDE, " 5000 ");
    std::atomic<bool> done{false};
    auto echo = [] {
        fake::SetVar(67, fake::Var(118));
        fake::SetVar(14, fake::Var(123));
    };
    std::thread refresh([&] {
        while (!done.load()) {
            UpdateAutopilot(&dialog);
            UpdateNavDisp(&dialog);
            echo();
            fake::TakeTrace();
        }
    });
    for (int i = 0; i < 500; ++i) {
        SpinNavDisp(&dialog, IDC_CAPT_COURSE_FINE, i % 3 == 2 ? 1 : kUp);
        SpinAutopilot(&dialog, IDC_ALTITUDE_FINE, i % 3 == 2 ? 1 : kUp);
        std::this_thread::yield();
    }
    done = true;
    refresh.join();

    const int course = PanelEcho.pendingCourseCapt;
    const int altitude = PanelEcho.pendingAltitude;
    for (int i = 0; i < 12; ++i) {
        UpdateNavDisp(&dialog);
        UpdateAutopilot(&dialog);
        echo();
    }
    fake::TakeTrace();
    char expected[32];
    std::snprintf(expected, sizeof expected, "%5d ", course);
    EXPECT_EQ(dialog.Text(IDC_CAPT_COURSE), expected);
    std::snprintf(expected, sizeof expected, "%5d ", altitude);
    EXPECT_EQ(dialog.Text(IDC_SET_ALTITUDE), expected);
    EXPECT_FALSE(PanelEcho.courseCaptPending);
}

// The interleaving the threaded test can hardly hit: the refresh thread has
// seen the old value confirmed, and the GUI thread publishes a new one before
// the refresh lowers the flag. The new hold must survive.
TEST_F(EchoTest, ReleasingAConfirmedHoldKeepsANewerOne) {
    std::atomic<std::int32_t> value{0};
    std::atomic<bool> pending{false};
    panels::HoldValue(value, pending, 5);
    const std::int32_t seen = value;  // refresh: the simulator reports 5
    panels::HoldValue(value, pending, 6);  // GUI: another step meanwhile
    panels::ReleaseHold(pending, value, seen);
    EXPECT_TRUE(pending);
    panels::ReleaseHold(pending, value, 6);
    EXPECT_FALSE(pending);
}
