// What each panel's refresh writes, in order and format.
#include <limits>
#include <utility>
#include <vector>

#include "panel_test_support.h"
#include "panels/autopilot.h"
#include "panels/navdisp.h"
#include "panels/radios.h"
#include "panels/status.h"
#include "resources/resource.h"

using fake::FakeDialog;
using fake::Strings;
using Vars = std::vector<std::pair<int, double>>;

namespace {
void SetVars(const Vars& vars) {
    for (const auto& [index, value] : vars) fake::SetVar(index, value);
}
}  // namespace

using RefreshTest = PanelTest;

TEST_F(RefreshTest, StatusWritesEveryFieldInOrder) {
    FakeDialog dialog{fake::kStatusIds};
    UpdateStatus(&dialog);  // starting values: counters 1 and 0
    EXPECT_EQ(fake::TakeTrace(),
              (Strings{"T2006=    1 ", "T2005=    0 ", "T1020=  0 ", "T1021=    0 ", "T1022=  0 ",
                       "T2004=    0 ", "T2003=    0 ", "T2001=OFF ", "T2002=OFF ", "T2000=ON ",
                       "T1031=UP", "T2007=UP", "T2009= 0.00 "}));

    SetVars({{6, 359.99}, {54, 12345.6}, {8, 250.7}, {233, 42}, {234, 3}, {194, 1},
             {185, 1}, {72, 3}, {47, 1}, {7, 29.92}});
    UpdateStatus(&dialog);
    EXPECT_EQ(fake::TakeTrace(),
              (Strings{"T2006=    1 ", "T2005=    0 ", "T1020=359 ", "T1021=12345 ", "T1022=250 ",
                       "T2004=   42 ", "T2003=    3 ", "T2001=ON ", "T2002=OFF ", "T2000=OFF ",
                       "T1031=detent 3 ", "T2007=DOWN", "T2009=29.92 "}));
}

TEST_F(RefreshTest, StatusFieldFormats) {
    struct Case {
        int var;
        double value;
        int field;
        const char* text;
    };
    const Case cases[] = {
        {6, -0.9, IDC_HEADING, "  0 "},          // toward zero, not down
        {6, 1e12, IDC_HEADING, "2147483647 "},   // saturates instead of overflowing
        {6, std::numeric_limits<double>::quiet_NaN(), IDC_HEADING, "  0 "},     // NaN off the wire
        {72, -1, IDC_FLAPS, "detent -1 "},
        {7, 1013.25, IDC_BAROMETER, "1013.25 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        fake::ResetVars();
        fake::SetVar(c.var, c.value);
        FakeDialog dialog{fake::kStatusIds};
        UpdateStatus(&dialog);
        fake::TakeTrace();
        EXPECT_EQ(dialog.Text(c.field), c.text);
    }
}

TEST_F(RefreshTest, AutopilotWritesInOrderModeBoxesOnChange) {
    FakeDialog dialog{fake::kAutopilotIds};
    SetVars({{58, 200.7}, {111, 1}, {218, 1}, {121, 1}, {170, 1}, {22, 1}, {50, 1},
             {14, 10000}, {15, 360.0}, {17, 249.995}});
    UpdateAutopilot(&dialog);
    EXPECT_EQ(fake::TakeTrace(),
              (Strings{"T1060= 200 ", "C1058=1", "C2012=0", "C1090=1", "C1089=0", "C2010=1",
                       "C2011=1", "C1052=0", "C1051=1", "C1088=0", "C1049=1", "C1050=0",
                       "T1018=10000 ", "T1016=  0 ", "T1019=250 "}));

    // Unchanged: the Autopilot and Flight Dir boxes keep whatever the user clicked.
    dialog.Tick(IDC_AUTOPILOT, false);
    UpdateAutopilot(&dialog);
    Strings again = fake::TakeTrace();
    EXPECT_EQ(again.size(), 13u);
    EXPECT_FALSE(dialog.GetItemCheck(IDC_AUTOPILOT));

    fake::SetVar(170, 0);
    fake::SetVar(171, 1);
    UpdateAutopilot(&dialog);
    again = fake::TakeTrace();
    ASSERT_EQ(again.size(), 15u);
    EXPECT_EQ(again[6], "C2011=0");
    EXPECT_EQ(again[7], "C1052=1");
}

TEST_F(RefreshTest, AutopilotSetPointConversions) {
    struct Case {
        int var;
        double value;
        int field;
        const char* text;
    };
    const Case cases[] = {
        {17, 249.995, IDC_SET_SPEED, "250 "},  // 0.01 bias before truncation
        {17, 249.98, IDC_SET_SPEED, "249 "},
        {15, 359.995, IDC_SET_HEADING, "  0 "},  // biased to 360, shown as 0
        {58, 199.999, IDC_MINIMUMS, " 199 "},  // minimums take no bias
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        fake::ResetVars();
        fake::SetVar(c.var, c.value);
        FakeDialog dialog{fake::kAutopilotIds};
        UpdateAutopilot(&dialog);
        fake::TakeTrace();
        EXPECT_EQ(dialog.Text(c.field), c.text);
    }
}

TEST_F(RefreshTest, NavDispStartingStateInOrder) {
    SetVars({{196, 1}, {197, 1}, {199, 1}, {200, 1}, {223, 1}, {225, 1}});
    FakeDialog dialog{fake::kNavDispIds};
    UpdateNavDisp(&dialog);
    EXPECT_EQ(fake::TakeTrace(),
              (Strings{"C1009=1", "C1008=1", "C1047=1", "C1032=1", "C1048=0", "C1033=0",
                       "C1044=1", "C1043=0", "C1046=1", "C1045=0", "T1069=5 NM", "T1070=5 NM",
                       "T1034=Exp Map", "T1035=Exp Map", "T1055=    0 ", "T1056=    0 "}));
}

TEST_F(RefreshTest, NavDispModeAndRangeNames) {
    const char* const ranges[] = {"5 NM",  "10 NM",  "20 NM",  "40 NM",
                                  "80 NM", "160 NM", "320 NM", "640 NM"};
    const char* const modes[] = {"Exp Map", "Exp Map Arc", "Exp Vor", "Exp APP"};
    FakeDialog dialog{fake::kNavDispIds};
    for (int v = 0; v < 8; ++v) {
        SetVars({{191, v}, {190, 7 - v}, {202, v % 4}, {203, 3 - v % 4}});
        UpdateNavDisp(&dialog);
        EXPECT_EQ(dialog.Text(IDC_CAPT_RANGE), ranges[v]);
        EXPECT_EQ(dialog.Text(IDC_FO_RANGE), ranges[7 - v]);
        EXPECT_EQ(dialog.Text(IDC_CAPT_MODE), modes[v % 4]);
        EXPECT_EQ(dialog.Text(IDC_FO_MODE), modes[3 - v % 4]);
    }
    // Out of range: the fields keep their last text and are not written.
    for (int bad : {9, -1, 8}) {
        SCOPED_TRACE(bad);
        fake::TakeTrace();
        SetVars({{191, bad}, {190, bad}, {202, bad}, {203, bad}});
        UpdateNavDisp(&dialog);
        for (const std::string& e : fake::TakeTrace()) {
            for (const char* named : {"T1069=", "T1070=", "T1034=", "T1035="}) {
                EXPECT_NE(e.rfind(named, 0), 0u) << e;
            }
        }
        EXPECT_EQ(dialog.Text(IDC_CAPT_RANGE), "640 NM");
        EXPECT_EQ(dialog.Text(IDC_CAPT_MODE), "Exp APP");
    }
    SetVars({{191, 4}, {202, 4}});  // a range, but no mode
    UpdateNavDisp(&dialog);
    EXPECT_EQ(dialog.Text(IDC_CAPT_RANGE), "80 NM");
    EXPECT_EQ(dialog.Text(IDC_CAPT_MODE), "Exp APP");
}

TEST_F(RefreshTest, RadiosWriteAdfThenComNavInOrder) {
    SetVars({{227, 3455}, {229, 0}, {228, 1}, {230, 17999}, {86, 118.7}, {88, 121.5},
             {87, 0}, {89, 136.975}, {27, 110.5}, {30, 108.0}, {66, 117.95}, {73, 109.1}});
    FakeDialog combined{fake::kRadiosIds, fake::kAdfIds};
    UpdateRadios(&combined);
    EXPECT_EQ(fake::TakeTrace(),
              (Strings{"T1053=  345.5 ", "T1054=    0.0 ", "T1061=    0.1 ", "T1062= 1799.9 ",
                       "T1023=118.700 ", "T1024=121.500 ", "T1025=  0.000 ", "T1026=136.975 ",
                       "T1027=110.500 ", "T1028=108.000 ", "T1029=117.950 ", "T1030=109.100 "}));

    // The Radios panel's own template has no ADF rows.
    FakeDialog own{fake::kRadiosIds};
    UpdateRadios(&own);
    const Strings trace = fake::TakeTrace();
    ASSERT_EQ(trace.size(), 8u);
    EXPECT_EQ(trace.front(), "T1023=118.700 ");
}

TEST_F(RefreshTest, NullDialogIsIgnored) {
    fake::SetVar(67, 100);
    PanelEcho.pendingCourseCapt = 5;
    PanelEcho.courseCaptPending = true;
    UpdateStatus(nullptr);
    UpdateAutopilot(nullptr);
    UpdateNavDisp(nullptr);
    UpdateRadios(nullptr);
    const platform::DialogMsg init{platform::DialogMsgKind::Init, 0, 0, 0};
    const platform::DialogMsg click{platform::DialogMsgKind::Command, IDC_COM1_ACTIVE, 0, 0};
    EXPECT_FALSE(DlgProcStatus(nullptr, init));
    EXPECT_FALSE(DlgProcAutopilot(nullptr, click));
    EXPECT_FALSE(DlgProcNavDisp(nullptr, click));
    EXPECT_FALSE(DlgProcRadios(nullptr, click));
    EXPECT_FALSE(SpinAutopilot(nullptr, IDC_HEADING_COARSE, -1));
    EXPECT_FALSE(SpinNavDisp(nullptr, IDC_CAPT_RANGE_SPIN, -1));
    EXPECT_FALSE(SpinRadios(nullptr, IDC_COM1_FINE, -1));
    EXPECT_TRUE(fake::TakeTrace().empty());
    EXPECT_TRUE(PanelEcho.courseCaptPending);
}
