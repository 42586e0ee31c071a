// The panel windows on the real windowing host: titles, sizes, places,
// closing and focus, the end of the program, keys after clicks.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/settings.h"
#include "host_probe.h"
#include "panels/keymap.h"
#include "model/catalog.h"
#include "panels/panel_table.h"
#include "panels/windows.h"
#include "var_standin.h"

namespace {

// The windows are built from the panels' own templates; no model.
const PanelWindowSource& TestWindows() {
    static model::Catalog catalog;
    static const bool loaded = panels::LoadPanelCatalog(&catalog);
    static const PanelWindowSource source{loaded ? &catalog : nullptr, nullptr};
    return source;
}

struct Panel {
    const char* cls;
    const char* title;
    bool (*create)(bool show);
    platform::Frame** frame;
    platform::Dialog** dialog;
    int x, y;
};

// Four places that cannot be mistaken for one another or for the defaults.
std::vector<Panel> Panels() {
    return {
        {"status", "Status", [](bool s) { return CreateStatusWin(nullptr, s, TestWindows()); }, &statusFrame,
         &statusDialog, 40, 50},
        {"autopilot", "Autopilot", [](bool s) { return CreateAutopilotWin(nullptr, s, TestWindows()); },
         &autopilotFrame, &autopilotDialog, 520, 60},
        {"navdisp", "Nav Display", [](bool s) { return CreateNavDispWin(nullptr, s, TestWindows()); },
         &navDispFrame, &navDispDialog, 70, 480},
        {"radios", "Radios", [](bool s) { return CreateRadiosWin(nullptr, s, TestWindows()); }, &radiosFrame,
         &radiosDialog, 530, 490},
    };
}

using probe::Point;

platform::Frame* const& HandleNamed(const std::string& cls) {
    for (const Panel& p : Panels())
        if (cls == p.cls) return *p.frame;
    return bigWinFrame;
}

constexpr int kNoQuit = probe::kNoQuit;
using probe::CloseByUser;
using probe::RunLoop;

class PanelWindowsGui : public ::testing::Test {
protected:
    void SetUp() override {
        Settings = DefaultSettings();
        for (const Panel& p : Panels()) {
            *p.frame = nullptr;
            *p.dialog = nullptr;
        }
        bigWinFrame = nullptr;
        bigWinDialog = nullptr;
        keyBusy = controlHeld = false;
        standin::Reset();
        platform::SetFramesOnTop(false);
    }

    void TearDown() override {
        for (platform::Frame* f :
             {statusFrame, autopilotFrame, navDispFrame, radiosFrame, bigWinFrame})
            if (f != nullptr) platform::DestroyFrame(f);
        probe::Settle();
    }

    void CreateFour(const std::string& hidden = "") {
        for (const Panel& p : Panels()) {
            ASSERT_TRUE(p.create(hidden != p.cls)) << p.cls;
        }
    }

    void PlaceFour() {
        Settings.singleWindow = false;
        for (const Panel& p : Panels()) {
            const std::string c = p.cls;
            auto& x = c == "status"      ? Settings.statusX
                      : c == "autopilot" ? Settings.autoX
                      : c == "navdisp"   ? Settings.navX
                                         : Settings.radiosX;
            auto& y = c == "status"      ? Settings.statusY
                      : c == "autopilot" ? Settings.autoY
                      : c == "navdisp"   ? Settings.navY
                                         : Settings.radiosY;
            x = p.x;
            y = p.y;
        }
    }
};

void ExpectFrameFitsDialog(platform::Frame* frame, platform::Dialog* dialog, const char* title,
                           const char* cls, Point place, bool shown) {
    ASSERT_TRUE(platform::FrameExists(frame)) << cls;
    ASSERT_NE(dialog, nullptr) << cls;
    EXPECT_EQ(probe::Title(frame), title);
    EXPECT_EQ(probe::ClassName(frame), cls);
    EXPECT_EQ(probe::Place(frame), place) << cls;
    const Point size = probe::DialogSize(dialog);
    EXPECT_GT(size.x * size.y, 0) << cls;
    EXPECT_EQ(probe::ClientSize(frame), size) << cls << ": the client area is the dialog";
    EXPECT_EQ(probe::DialogPlace(dialog), (Point{0, 0})) << cls;
    EXPECT_EQ(probe::Shown(frame), shown) << cls;
    EXPECT_EQ(probe::DialogShown(dialog), shown) << cls;
}

TEST_F(PanelWindowsGui, FourWindowsWithTitlesPlacesSizesAndShowFlags) {
    PlaceFour();
    CreateFour("navdisp");
    for (const Panel& p : Panels()) {
        ExpectFrameFitsDialog(*p.frame, *p.dialog, p.title, p.cls, Point{p.x, p.y},
                              std::string(p.cls) != "navdisp");
    }
    const Point panelSize = probe::ClientSize(statusFrame);
    ASSERT_TRUE(CreateBigWin(nullptr, TestWindows()));
    ExpectFrameFitsDialog(bigWinFrame, bigWinDialog, "OrvSim Control", "bigwin", Point{100, 100},
                          true);
    EXPECT_GT(probe::ClientSize(bigWinFrame).x, panelSize.x * 2);
    EXPECT_GT(probe::ClientSize(bigWinFrame).y, panelSize.y * 2);
}

// Closing frames in turn, starting from each: every close hands the focus
// to the first open frame of the closed one's list, and the last close ends
// the loop with 0.
TEST_F(PanelWindowsGui, FocusFollowsTheOrderAndTheLastCloseQuits) {
    const std::map<std::string, std::vector<std::string>> orders = {
        {"status", {"radios", "autopilot", "navdisp"}},
        {"autopilot", {"status", "radios", "navdisp"}},
        {"navdisp", {"status", "autopilot", "radios"}},
        {"radios", {"status", "autopilot", "navdisp"}},
    };
    for (const auto& [first, unused] : orders) {
        TearDown();
        SetUp();
        PlaceFour();
        CreateFour();
        std::string closing = first;
        for (int open = 4; open > 1; --open) {
            CloseByUser(HandleNamed(closing));
            EXPECT_EQ(HandleNamed(closing), nullptr);
            std::string next;
            for (const std::string& candidate : orders.at(closing))
                if (next.empty() && HandleNamed(candidate) != nullptr) next = candidate;
            ASSERT_TRUE(platform::FrameExists(HandleNamed(next))) << first << ", after " << closing;
            EXPECT_TRUE(probe::HasFocus(HandleNamed(next))) << first << ", after " << closing;
            closing = next;
        }
        EXPECT_EQ(RunLoop([&] { CloseByUser(HandleNamed(closing)); }, 2000), 0) << first;
    }
}

// What the window asks of the system; only a window manager can honour it
// (a bare X server stacks windows in the order they were mapped).
TEST_F(PanelWindowsGui, WindowsStayOnTopOnlyWhenTheFileSaysSo) {
    for (const bool onTop : {false, true}) {
        TearDown();
        SetUp();
        platform::SetFramesOnTop(onTop);
        PlaceFour();
        CreateFour();
        ASSERT_TRUE(CreateBigWin(nullptr, TestWindows()));
        for (platform::Frame* f : {statusFrame, autopilotFrame, navDispFrame, radiosFrame, bigWinFrame}) {
            ASSERT_TRUE(platform::FrameExists(f));
            EXPECT_EQ(probe::OnTop(f), onTop) << probe::ClassName(f);
            EXPECT_TRUE(probe::Shown(f)) << probe::ClassName(f);
        }
        platform::FocusFrame(navDispFrame);
        EXPECT_TRUE(probe::HasFocus(navDispFrame)) << "on top " << onTop;
    }
}

TEST_F(PanelWindowsGui, HiddenPanelKeepsTheProgramRunning) {
    PlaceFour();
    CreateFour("radios");
    CloseByUser(statusFrame);
    CloseByUser(autopilotFrame);
    EXPECT_EQ(RunLoop([] { CloseByUser(navDispFrame); }, 300), kNoQuit);
    EXPECT_NE(radiosFrame, nullptr);
    EXPECT_TRUE(platform::FrameExists(radiosFrame));
}

TEST_F(PanelWindowsGui, ClosingTheCombinedWindowQuits) {
    ASSERT_TRUE(CreateBigWin(nullptr, TestWindows()));
    EXPECT_EQ(RunLoop([] { CloseByUser(bigWinFrame); }, 2000), 0);
    EXPECT_EQ(bigWinFrame, nullptr);
}

// After a click on any control, G typed into the window reaches the key map.
void ExpectKeysAfterEveryClick(platform::Frame* frame, platform::Dialog* dialog) {
    ASSERT_TRUE(platform::FrameExists(frame));
    platform::FocusFrame(frame);
    ASSERT_TRUE(probe::HasFocus(frame));
    int clicked = 0;
    for (int id : probe::ClickableControls(dialog)) {
        ++clicked;
        probe::Click(dialog, id);
        standin::sets.clear();
        probe::TypeKey(frame, 'G');
        EXPECT_EQ(standin::sets, (std::vector<standin::Set>{{47, 1, standin::Path::KeyCRi}}))
            << probe::ClassName(frame) << " control " << id;
        EXPECT_FALSE(keyBusy);
    }
    EXPECT_GT(clicked, 10) << probe::ClassName(frame);
}

TEST_F(PanelWindowsGui, KeysReachTheMapAfterAClickOnAnyControl) {
    PlaceFour();
    CreateFour();
    for (const Panel& p : Panels()) {
        SCOPED_TRACE(p.cls);
        ExpectKeysAfterEveryClick(*p.frame, *p.dialog);
    }
    TearDown();
    SetUp();
    ASSERT_TRUE(CreateBigWin(nullptr, TestWindows()));
    ExpectKeysAfterEveryClick(bigWinFrame, bigWinDialog);
}

// The up arrow of a stepper counts up: the host hands the panels the
// platform's sign, which they negate.
TEST_F(PanelWindowsGui, AnUpArrowStepsUp) {
    ASSERT_TRUE(CreateBigWin(nullptr, TestWindows()));
    bigWinDialog->SetItemText(1016, " 90 ");  // the heading field
    probe::Click(bigWinDialog, 1036);          // its fine stepper
    EXPECT_EQ(standin::sets, (std::vector<standin::Set>{{122, 91, standin::Path::KeyCRi}}));
}

}  // namespace
