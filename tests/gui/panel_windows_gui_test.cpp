// The panel windows on the real windowing host (offscreen): titles, sizes,
// places, closing and focus, the end of the program, keys after clicks.
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/settings.h"
#include "panels/keymap.h"
#include "panels/windows.h"
#include "platform/qt/check_box.h"
#include "platform/qt/dialog_widget.h"
#include "platform/qt/frame_widget.h"
#include "var_standin.h"

namespace {

constexpr int kNoQuit = -77;

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
        {"status", "Status", [](bool s) { return CreateStatusWin(nullptr, s); }, &statusFrame,
         &statusDialog, 40, 50},
        {"autopilot", "Autopilot", [](bool s) { return CreateAutopilotWin(nullptr, s); },
         &autopilotFrame, &autopilotDialog, 520, 60},
        {"navdisp", "Nav Display", [](bool s) { return CreateNavDispWin(nullptr, s); },
         &navDispFrame, &navDispDialog, 70, 480},
        {"radios", "Radios", [](bool s) { return CreateRadiosWin(nullptr, s); }, &radiosFrame,
         &radiosDialog, 530, 490},
    };
}

QWidget* FrameOf(platform::Frame* frame) { return platform::qthost::FrameWidgetOf(frame); }

platform::Frame* const& HandleNamed(const std::string& cls) {
    for (const Panel& p : Panels())
        if (cls == p.cls) return *p.frame;
    return bigWinFrame;
}

// Runs the message loop until a quit or `timeoutMs`; the quit code, or
// kNoQuit when nothing ended the loop.
int RunLoop(const std::function<void()>& action, int timeoutMs) {
    QTimer start, stop;
    start.setSingleShot(true);
    stop.setSingleShot(true);
    QObject::connect(&start, &QTimer::timeout, action);
    QObject::connect(&stop, &QTimer::timeout, [] { QApplication::exit(kNoQuit); });
    start.start(0);
    stop.start(timeoutMs);
    return QApplication::exec();
}

// The user's close box.
void CloseByUser(platform::Frame* frame) { FrameOf(frame)->close(); }

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
    }

    void TearDown() override {
        for (platform::Frame* f :
             {statusFrame, autopilotFrame, navDispFrame, radiosFrame, bigWinFrame})
            if (f != nullptr) platform::DestroyFrame(f);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
                           const char* cls, QPoint place, bool shown) {
    QWidget* w = FrameOf(frame);
    ASSERT_NE(w, nullptr) << cls;
    QWidget* d = platform::qthost::DialogWidgetOf(dialog);
    ASSERT_NE(d, nullptr) << cls;
    EXPECT_EQ(w->windowTitle().toStdString(), title);
    EXPECT_EQ(w->objectName().toStdString(), cls);
    EXPECT_EQ(w->pos(), place) << cls;
    EXPECT_FALSE(d->size().isEmpty()) << cls;
    EXPECT_EQ(w->size(), d->size()) << cls << ": the client area is the dialog";
    EXPECT_EQ(d->pos(), QPoint(0, 0)) << cls;
    EXPECT_EQ(w->isVisible(), shown) << cls;
    EXPECT_EQ(d->isVisibleTo(w), shown) << cls;
}

TEST_F(PanelWindowsGui, FourWindowsWithTitlesPlacesSizesAndShowFlags) {
    PlaceFour();
    CreateFour("navdisp");
    for (const Panel& p : Panels()) {
        ExpectFrameFitsDialog(*p.frame, *p.dialog, p.title, p.cls, QPoint(p.x, p.y),
                              std::string(p.cls) != "navdisp");
    }
    const QSize panelSize = FrameOf(statusFrame)->size();
    ASSERT_TRUE(CreateBigWin(nullptr));
    ExpectFrameFitsDialog(bigWinFrame, bigWinDialog, "OrvSim Control", "bigwin", QPoint(100, 100),
                          true);
    EXPECT_GT(FrameOf(bigWinFrame)->width(), panelSize.width() * 2);
    EXPECT_GT(FrameOf(bigWinFrame)->height(), panelSize.height() * 2);
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
            QWidget* w = FrameOf(HandleNamed(next));
            ASSERT_NE(w, nullptr) << first << ", after " << closing;
            EXPECT_TRUE(QTest::qWaitForWindowActive(w)) << first << ", after " << closing;
            EXPECT_EQ(QApplication::focusWidget(), w) << first << ", after " << closing;
            closing = next;
        }
        EXPECT_EQ(RunLoop([&] { CloseByUser(HandleNamed(closing)); }, 2000), 0) << first;
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
    ASSERT_TRUE(CreateBigWin(nullptr));
    EXPECT_EQ(RunLoop([] { CloseByUser(bigWinFrame); }, 2000), 0);
    EXPECT_EQ(bigWinFrame, nullptr);
}

// Where a user clicks a control: a check box at its box (its text stands
// left of it), an up-down on its first arrow, anything else in its middle.
QPoint ClickPoint(const platform::qthost::DialogItem& item) {
    if (auto* box = dynamic_cast<platform::qthost::LeftTextCheckBox*>(item.widget))
        return box->IndicatorRect().center();
    const QRect r = item.widget->rect();
    if (item.kind == platform::ControlKind::UpDown)
        return r.width() > r.height() ? QPoint(r.width() / 4, r.height() / 2)
                                      : QPoint(r.width() / 2, r.height() / 4);
    return r.center();
}

// After a click on any control, G typed into the window reaches the key map.
void ExpectKeysAfterEveryClick(platform::Frame* frame, platform::Dialog* dialog) {
    QWidget* w = FrameOf(frame);
    ASSERT_NE(w, nullptr);
    platform::FocusFrame(frame);
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    int clicked = 0;
    for (const platform::qthost::DialogItem& item :
         platform::qthost::DialogWidgetOf(dialog)->Items()) {
        if (item.kind == platform::ControlKind::Label ||
            item.kind == platform::ControlKind::GroupBox || !item.widget->isVisible())
            continue;
        ++clicked;
        QTest::mouseClick(item.widget, Qt::LeftButton, {}, ClickPoint(item));
        standin::sets.clear();
        QTest::keyClick(w->windowHandle(), Qt::Key_G);
        EXPECT_EQ(standin::sets, (std::vector<standin::Set>{{47, 1, standin::Path::KeyCRi}}))
            << w->objectName().toStdString() << " control " << item.id;
        EXPECT_FALSE(keyBusy);
    }
    EXPECT_GT(clicked, 10) << w->objectName().toStdString();
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
    ASSERT_TRUE(CreateBigWin(nullptr));
    ExpectKeysAfterEveryClick(bigWinFrame, bigWinDialog);
}

}  // namespace
