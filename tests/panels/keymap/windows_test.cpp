// The panel windows against the fake windowing layer: create steps and
// their failures, closing and focus, key routing, the combined dialog.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "base/log.h"
#include "base/settings.h"
#include "fake_window.h"
#include "panel_fakes.h"
#include "panels/autopilot.h"
#include "panels/keymap.h"
#include "panels/navdisp.h"
#include "panels/radios.h"
#include "panels/status.h"
#include "model/catalog.h"
#include "panels/panel_table.h"
#include "panels/windows.h"
#include "resources/resource.h"
#include "test_log.h"
#include "var_standin.h"

namespace {

// The windows are built from the panels' own templates; no model.
const PanelWindowSource& TestWindows() {
    static model::Catalog catalog;
    static const bool loaded = panels::LoadPanelCatalog(&catalog);
    static const PanelWindowSource source{loaded ? &catalog : nullptr, nullptr};
    return source;
}

using Strings = std::vector<std::string>;
using platform::FrameMsg;
using platform::FrameMsgKind;

struct Panel {
    const char* cls;
    const char* title;
    int templateId;
    bool (*create)(bool show);
    platform::FrameProc frameProc;
    platform::DialogProc dialogProc;
    platform::Frame** frame;
    platform::Dialog** dialog;
    std::int32_t* x;
    std::int32_t* y;
};

const std::vector<Panel>& Panels() {
    static const std::vector<Panel> panels = {
        {"status", "Status", 107, [](bool s) { return CreateStatusWin(nullptr, s, TestWindows()); }, MsgStatus,
         DlgProcStatus, &statusFrame, &statusDialog, &Settings.statusX, &Settings.statusY},
        {"autopilot", "Autopilot", 106, [](bool s) { return CreateAutopilotWin(nullptr, s, TestWindows()); },
         MsgAutopilot, DlgProcAutopilot, &autopilotFrame, &autopilotDialog, &Settings.autoX,
         &Settings.autoY},
        {"navdisp", "Nav Display", 105, [](bool s) { return CreateNavDispWin(nullptr, s, TestWindows()); },
         MsgNavDisp, DlgProcNavDisp, &navDispFrame, &navDispDialog, &Settings.navX,
         &Settings.navY},
        {"radios", "Radios", 104, [](bool s) { return CreateRadiosWin(nullptr, s, TestWindows()); }, MsgRadios,
         DlgProcRadios, &radiosFrame, &radiosDialog, &Settings.radiosX, &Settings.radiosY},
    };
    return panels;
}

const Panel& PanelNamed(const std::string& cls) {
    for (const Panel& p : Panels())
        if (cls == p.cls) return p;
    return Panels().front();
}

class WindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakewin::Reset();
        standin::Reset();
        keyBusy = controlHeld = false;
        for (platform::Frame** f :
             {&statusFrame, &autopilotFrame, &navDispFrame, &radiosFrame, &bigWinFrame})
            *f = nullptr;
        for (platform::Dialog** d :
             {&statusDialog, &autopilotDialog, &navDispDialog, &radiosDialog, &bigWinDialog})
            *d = nullptr;
        Settings = DefaultSettings();
    }

    TempLog log_;

    void CreateAll(bool statusShown = true) {
        for (const Panel& p : Panels()) p.create(p.frame != &statusFrame || statusShown);
        fakewin::state.calls.clear();
    }
};

const FrameMsg kClose{FrameMsgKind::Close, 0};
const FrameMsg kClick{FrameMsgKind::LeftButtonDown, 0};

TEST_F(WindowsTest, CreateFollowsTheStepsAtTheSettingsPosition) {
    int n = 0;
    for (const Panel& p : Panels()) {
        for (bool show : {true, false}) {
            SetUp();
            *p.x = 11 + n;
            *p.y = 220 - n;
            ++n;
            ASSERT_TRUE(p.create(show)) << p.cls;
            const std::string c = p.cls, s = show ? "1" : "0";
            const std::string pos = std::to_string(*p.x) + " " + std::to_string(*p.y);
            EXPECT_EQ(fakewin::state.calls,
                      (Strings{"register " + c, "frame " + c + " " + p.title + " " + pos + " 600x440",
                               "show " + c + " " + s, "dialog " + c + " " + std::to_string(p.templateId),
                               "fit " + c + " " + c, "showdialog " + c + " " + s}));
            EXPECT_EQ(fakewin::state.classes[c], p.frameProc) << c;
            EXPECT_EQ(fakewin::NameOf(*p.frame), c);
            EXPECT_EQ(fakewin::DialogProcOf(*p.frame), p.dialogProc) << c;
            EXPECT_EQ(fakewin::NameOf(*p.dialog), c);
        }
    }
}

TEST_F(WindowsTest, CreateBigWinAlwaysShownAtFixedPlace) {
    Settings.statusX = Settings.statusY = 7;
    ASSERT_TRUE(CreateBigWin(nullptr, TestWindows()));
    EXPECT_EQ(fakewin::state.calls,
              (Strings{"register bigwin", "frame bigwin OrvSim Control 100 100 600x440",
                       "show bigwin 1", "dialog bigwin 108", "fit bigwin bigwin",
                       "showdialog bigwin 1"}));
    EXPECT_EQ(fakewin::state.classes["bigwin"], MsgBigWin);
    EXPECT_EQ(fakewin::DialogProcOf(bigWinFrame), DlgProcBigWin);
    EXPECT_EQ(fakewin::NameOf(bigWinDialog), "bigwin");
}

TEST_F(WindowsTest, CreateStopsAtTheFirstFailingStep) {
    struct Failure {
        std::string fakewin::State::*knob;
        std::size_t callsMade;
        bool frameSet;
    };
    const std::vector<Failure> failures = {
        {&fakewin::State::failRegister, 1, false},
        {&fakewin::State::failFrame, 2, false},
        {&fakewin::State::failDialog, 4, true},
    };
    std::vector<Panel> all = Panels();
    all.push_back({"bigwin", "", 0, [](bool) { return CreateBigWin(nullptr, TestWindows()); }, nullptr, nullptr,
                   &bigWinFrame, &bigWinDialog, nullptr, nullptr});
    for (const Panel& p : all) {
        for (const Failure& f : failures) {
            SetUp();
            fakewin::state.*f.knob = p.cls;
            EXPECT_FALSE(p.create(true)) << p.cls;
            EXPECT_EQ(fakewin::state.calls.size(), f.callsMade) << p.cls;
            EXPECT_EQ(*p.frame != nullptr, f.frameSet) << p.cls;
            EXPECT_EQ(*p.dialog, nullptr) << p.cls;
        }
    }
}

// Closing a panel gives the focus to the first panel of its list that is
// still open, or ends the program when none is.
TEST_F(WindowsTest, FocusOrderAfterClose) {
    const std::vector<std::pair<std::string, Strings>> orders = {
        {"status", {"radios", "autopilot", "navdisp"}},
        {"autopilot", {"status", "radios", "navdisp"}},
        {"navdisp", {"status", "autopilot", "radios"}},
        {"radios", {"status", "autopilot", "navdisp"}},
    };
    for (const auto& [closed, order] : orders) {
        for (std::size_t gone = 0; gone <= order.size(); ++gone) {
            SetUp();
            CreateAll();
            for (std::size_t i = 0; i < gone; ++i) *PanelNamed(order[i]).frame = nullptr;
            const Panel& p = PanelNamed(closed);
            platform::Frame* frame = *p.frame;
            EXPECT_TRUE(p.frameProc(frame, kClose));
            EXPECT_EQ(*p.frame, nullptr);
            EXPECT_NE(*p.dialog, nullptr) << "dialog handles are never cleared";
            const std::string next = gone < order.size() ? "focus " + order[gone] : "quit 0";
            EXPECT_EQ(fakewin::state.calls, (Strings{"destroy " + closed, next}))
                << closed << " with " << gone << " gone";
        }
    }
}

TEST_F(WindowsTest, LastCloseEndsTheProgram) {
    CreateAll();
    MsgStatus(statusFrame, kClose);
    MsgRadios(radiosFrame, kClose);
    MsgAutopilot(autopilotFrame, kClose);
    MsgNavDisp(navDispFrame, kClose);
    EXPECT_EQ(fakewin::state.calls,
              (Strings{"destroy status", "focus radios", "destroy radios", "focus autopilot",
                       "destroy autopilot", "focus navdisp", "destroy navdisp", "quit 0"}));
}

TEST_F(WindowsTest, HiddenPanelKeepsTheProgramRunning) {
    CreateAll(false);
    MsgAutopilot(autopilotFrame, kClose);
    MsgNavDisp(navDispFrame, kClose);
    MsgRadios(radiosFrame, kClose);
    EXPECT_EQ(fakewin::state.calls,
              (Strings{"destroy autopilot", "focus status", "destroy navdisp", "focus status",
                       "destroy radios", "focus status"}));
    EXPECT_NE(statusFrame, nullptr);
    MsgStatus(statusFrame, kClose);
    EXPECT_EQ(fakewin::state.calls.back(), "quit 0");
}

TEST_F(WindowsTest, ClosingTheCombinedWindowEndsTheProgram) {
    ASSERT_TRUE(CreateBigWin(nullptr, TestWindows()));
    fakewin::state.calls.clear();
    EXPECT_TRUE(MsgBigWin(bigWinFrame, kClose));
    EXPECT_EQ(bigWinFrame, nullptr);
    EXPECT_EQ(fakewin::state.calls, (Strings{"destroy bigwin", "quit 0"}));
}

// Every frame takes the focus on a click and hands keys to the map, and
// lets the default processing run after both.
TEST_F(WindowsTest, ClicksFocusAndKeysReachTheMap) {
    CreateAll();
    CreateBigWin(nullptr, TestWindows());
    std::vector<std::pair<platform::FrameProc, platform::Frame*>> frames;
    for (const Panel& p : Panels()) frames.emplace_back(p.frameProc, *p.frame);
    frames.emplace_back(MsgBigWin, bigWinFrame);
    for (const auto& [proc, frame] : frames) {
        const std::string name = fakewin::NameOf(frame);
        fakewin::state.calls.clear();
        standin::sets.clear();
        EXPECT_FALSE(proc(frame, kClick)) << name;
        EXPECT_EQ(fakewin::state.calls, (Strings{"focus " + name}));
        // The key code travels in the low 16 bits of the message's argument.
        EXPECT_FALSE(proc(frame, FrameMsg{FrameMsgKind::KeyDown, 0x10000 | 'G'})) << name;
        EXPECT_FALSE(proc(frame, FrameMsg{FrameMsgKind::KeyDown, 'H'})) << name;
        EXPECT_FALSE(proc(frame, FrameMsg{FrameMsgKind::KeyUp, 'H'})) << name;
        EXPECT_FALSE(keyBusy) << name;
        EXPECT_EQ(standin::sets, (std::vector<standin::Set>{{47, 1, standin::Path::KeyCRi}}))
            << name;
    }
}

std::vector<std::string> LogLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line.size() > 14 ? line.substr(14) : line);  // drop the stamp
    return lines;
}

TEST_F(WindowsTest, NavDisplayTracesKeysBeforeActing) {
    CreateAll();
    ASSERT_TRUE(StartLog(log_.path().c_str()));  // from an empty log
    const std::string& log = log_.path();
    std::size_t linesAtSet = 0;
    // The set happens inside KeyDown: by then the trace must be on disk.
    MsgNavDisp(navDispFrame, FrameMsg{FrameMsgKind::KeyDown, 'G'});
    linesAtSet = LogLines(log).size();
    MsgNavDisp(navDispFrame, FrameMsg{FrameMsgKind::KeyUp, 'G'});
    EXPECT_EQ(linesAtSet, 2u);
    EXPECT_EQ(LogLines(log), (Strings{"Log started.", "MsgNavDisp KeyDown", "MsgNavDisp KeyUp"}));
    EXPECT_EQ(standin::sets.size(), 1u);
    EXPECT_FALSE(keyBusy);
}

TEST_F(WindowsTest, CombinedDialogOffersMessagesToPanelsInOrder) {
    const std::vector<platform::DialogMsg> messages = {
        {platform::DialogMsgKind::Init, 0, 0, 0},
        {platform::DialogMsgKind::Command, IDC_ALTITUDE, 0, 0},
        {platform::DialogMsgKind::DeltaPos, IDC_CAPT_NAVAIDS, -3, 0},
        {platform::DialogMsgKind::KeyUp, 0, 0, 'G'},
    };
    platform::Dialog* dialog = fakewin::MakeDialog("big");
    for (bool answer : {false, true}) {
        for (const platform::DialogMsg& m : messages) {
            fakepanels::calls.clear();
            fakepanels::answer = answer;
            EXPECT_FALSE(DlgProcBigWin(dialog, m));
            ASSERT_EQ(fakepanels::calls.size(), 4u);
            const char* order[] = {"DlgProcAutopilot", "DlgProcRadios", "DlgProcNavDisp",
                                   "DlgProcStatus"};
            for (int i = 0; i < 4; ++i) {
                const fakepanels::Call& c = fakepanels::calls[i];
                EXPECT_EQ(c.name, order[i]);
                EXPECT_EQ(c.dialog, dialog);
                EXPECT_EQ(c.msg.kind, m.kind);
                EXPECT_EQ(c.msg.controlId, m.controlId);
                EXPECT_EQ(c.msg.delta, m.delta);
                EXPECT_EQ(c.msg.keyCode, m.keyCode);
            }
        }
    }
    fakepanels::answer = false;
}

}  // namespace
