#include "tests/e2e_gui/panel_steps.h"

#include <QApplication>
#include <QFile>

#include <cmath>
#include <functional>
#include <string>

#include "link/var_access.h"
#include "panels/panel_echo.h"
#include "platform/qt/frame_widget.h"

namespace e2egui {
namespace {

using std::to_string;

const char* const kModeNames[] = {"Exp Map", "Exp Map Arc", "Exp Vor", "Exp APP"};
const char* const kRangeNames[] = {"5 NM",  "10 NM",  "20 NM",  "40 NM",
                                   "80 NM", "160 NM", "320 NM", "640 NM"};

constexpr int kSetMs = 5000;     // a set reaches the simulator
constexpr int kShowMs = 5000;    // its answer reaches the panel
constexpr int kFocusMs = 3000;   // the window system moves the focus
constexpr int kRefreshesMs = 800;  // more than two refresh periods

// One user action and what must follow it.
struct Action {
    std::string what;
    std::function<bool()> act;      // false when the control is missing
    std::string set;                // the line the simulator must print
    std::function<bool()> atOnce;   // optional: shown before anything else runs
    std::string atOnceWhat;
    std::function<bool()> after;    // shown once the simulator has answered
    std::string afterWhat;
    bool holds = false;             // `after` must then survive further refreshes
};

std::string TitleOf(platform::Frame* frame) {
    QWidget* w = platform::qthost::FrameWidgetOf(frame);
    return w != nullptr ? w->windowTitle().toStdString() : "(no frame)";
}

bool Perform(Run& run, Host host, const Action& a) {
    const int before = run.node.Count(a.set);
    if (!run.check.Check(a.act(), a.what)) return false;
    // Checked before the loop runs again, so that no refresh can come first.
    if (a.atOnce && !run.check.Check(a.atOnce(), a.what + ": at once " + a.atOnceWhat)) return false;
    if (!run.check.Wait([&] { return HasFocus(host.frame); }, kFocusMs,
                        a.what + ": keyboard focus back on \"" + TitleOf(host.frame) + "\""))
        return false;
    if (!run.check.WaitForSet(a.set, before, kSetMs)) return false;
    if (!run.check.Wait(a.after, kShowMs, a.what + ": then " + a.afterWhat)) return false;
    if (a.holds)
        return run.check.Check(HoldsFor(a.after, kRefreshesMs),
                               a.what + ": still " + a.afterWhat + " after further refreshes");
    return true;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool TextIs(platform::Dialog* d, int id, const std::string& text) { return Text(d, id) == text; }

int WrapHeading(int value) {
    if (value > 360) value -= 360;
    if (value < 0) value += 360;
    return value;
}

// A check box that shows and commands `var` (hold boxes): a click sends the
// box's new state; a key toggling the variable moves the box through the
// refresh.
bool SyncedBoxClick(Run& run, Host host, int id, int var, const char* name) {
    const bool ticked = !Checked(host.dialog, id);
    Action a;
    a.what = std::string(name) + " (" + to_string(id) + ") clicked to " + (ticked ? "ticked" : "clear");
    a.act = [=] { return Click(host.dialog, id); };
    a.set = "SET " + to_string(var) + " = " + (ticked ? "1" : "0");
    a.atOnce = [=] { return Checked(host.dialog, id) == ticked; };
    a.atOnceWhat = "the box toggles";
    a.after = [=] { return (GetIntVar(var) != 0) == ticked && Checked(host.dialog, id) == ticked; };
    a.afterWhat = "variable " + to_string(var) + " reported back and the box agrees";
    a.holds = true;
    return Perform(run, host, a);
}

}  // namespace

bool WaitForConnectionAndRefresh(Run& run, Host autopilot, Host navDisp, Host radios, Host status) {
    auto logSays = [](const char* text) {
        QFile log("ORVVarnoth.log");
        return log.open(QIODevice::ReadOnly) && log.readAll().contains(text);
    };
    if (!run.check.Wait([&] { return logSays("GetUdpMsg() - Connected to DB"); }, 30000,
                        "the log says \"GetUdpMsg() - Connected to DB\""))
        return false;
    if (!run.check.Wait([] { return GetIntVar(52) != 0; }, 10000,
                        "the simulator reports itself connected (variable 52)"))
        return false;
    // The first refresh comes about 3.3 s after start-up; the frequencies
    // are 0 until the simulator's values have arrived.
    return run.check.Wait(
        [&] {
            return !Text(autopilot.dialog, 1016).empty() && !Text(autopilot.dialog, 1018).empty() &&
                   !Text(navDisp.dialog, 1034).empty() && !Text(navDisp.dialog, 1069).empty() &&
                   !Text(navDisp.dialog, 1055).empty() && !Text(status.dialog, 2007).empty() &&
                   ShownReal(radios.dialog, 1023) > 100 && ShownReal(radios.dialog, 1024) > 100;
        },
        20000, "the first refresh shows the simulator's values");
}

bool HeadingArrowUp(Run& run, Host ap) {
    const int next = WrapHeading(ShownNumber(ap.dialog, 1016) + 1);
    Action a;
    a.what = "Autopilot heading right arrow (1036)";
    a.act = [=] { return ClickArrow(ap.dialog, 1036, true); };
    a.set = "SET 122 = " + to_string(next);
    a.atOnce = [=] { return TextIs(ap.dialog, 1016, Format(" %d ", next)); };
    a.atOnceWhat = "heading field " + Quoted(Format(" %d ", next));
    const std::string echoed = Format("%3d ", next == 360 ? 0 : next);
    a.after = [=] {
        return std::fabs(GetRealVar(15) - next) < 0.5 && !PanelEcho.headingPending.load() &&
               TextIs(ap.dialog, 1016, echoed);
    };
    a.afterWhat = "variable 15 reported back and the field shows " + Quoted(echoed);
    a.holds = true;
    return Perform(run, ap, a);
}

bool AltitudeArrowUp(Run& run, Host ap) {
    const int next = ShownNumber(ap.dialog, 1018) + 100;
    Action a;
    a.what = "Autopilot altitude up arrow (1037)";
    a.act = [=] { return ClickArrow(ap.dialog, 1037, true); };
    a.set = "SET 123 = " + to_string(next);
    a.atOnce = [=] { return TextIs(ap.dialog, 1018, Format(" %d", next)); };
    a.atOnceWhat = "altitude field " + Quoted(Format(" %d", next));
    const std::string echoed = Format("%5d ", next);
    a.after = [=] {
        return std::fabs(GetRealVar(14) - next) < 0.5 && !PanelEcho.altitudePending.load() &&
               TextIs(ap.dialog, 1018, echoed);
    };
    a.afterWhat = "variable 14 reported back and the field shows " + Quoted(echoed);
    a.holds = true;
    return Perform(run, ap, a);
}

bool HeadingHoldBox(Run& run, Host ap) {
    if (!run.check.Check(Checked(ap.dialog, 1049) == (GetIntVar(50) != 0),
                         "heading Hold box (1049) shows variable 50"))
        return false;
    if (!SyncedBoxClick(run, ap, 1049, 50, "heading Hold") ||
        !SyncedBoxClick(run, ap, 1049, 50, "heading Hold"))
        return false;
    // H toggles the variable behind the box's back: the refresh moves the box.
    const bool on = GetIntVar(50) == 0;
    Action a;
    a.what = "key H";
    a.act = [=] {
        TypeKey(ap.frame, Qt::Key_H);
        return true;
    };
    a.set = std::string("SET 50 = ") + (on ? "1" : "0");
    a.after = [=] { return (GetIntVar(50) != 0) == on && Checked(ap.dialog, 1049) == on; };
    a.afterWhat = std::string("the heading Hold box follows variable 50 to ") + (on ? "ticked" : "clear");
    a.holds = true;
    return Perform(run, ap, a);
}

bool AutopilotBox(Run& run, Host ap) {
    const bool ticked = !Checked(ap.dialog, 2011);
    Action a;
    a.what = std::string("Autopilot box (2011) clicked to ") + (ticked ? "ticked" : "clear");
    a.act = [=] { return Click(ap.dialog, 2011); };
    a.set = std::string("SET 172 = ") + (ticked ? "1" : "0");
    a.atOnce = [=] { return Checked(ap.dialog, 2011) == ticked; };
    a.atOnceWhat = "the box toggles";
    a.after = [=] { return (GetIntVar(170) != 0) == ticked && Checked(ap.dialog, 2011) == ticked; };
    a.afterWhat = "variable 170 reported back and the box agrees";
    a.holds = true;
    if (!Perform(run, ap, a)) return false;
    // U commands the opposite of the engaged state: the box, written only
    // on a change of variable 170, follows it.
    Action u;
    u.what = "key U";
    u.act = [=] {
        TypeKey(ap.frame, Qt::Key_U);
        return true;
    };
    u.set = std::string("SET 172 = ") + (ticked ? "0" : "1");
    u.after = [=] { return (GetIntVar(170) != 0) != ticked && Checked(ap.dialog, 2011) != ticked; };
    u.afterWhat = "the Autopilot box follows variable 170";
    u.holds = true;
    return Perform(run, ap, u);
}

bool GearKey(Run& run, Host status) {
    const bool down = GetIntVar(47) != 0;
    const std::string now = down ? "DOWN" : "UP", next = down ? "UP" : "DOWN";
    if (!run.check.Wait([=] { return TextIs(status.dialog, 2007, now); }, kShowMs,
                        "Gear field (2007) shows " + Quoted(now)))
        return false;
    Action a;
    a.what = "key G";
    a.act = [=] {
        TypeKey(status.frame, Qt::Key_G);
        return true;
    };
    a.set = std::string("SET 47 = ") + (down ? "0" : "1");
    a.after = [=] { return TextIs(status.dialog, 2007, next); };
    a.afterWhat = "Gear field (2007) shows " + Quoted(next);
    a.holds = true;
    return Perform(run, status, a);
}

bool CaptainRangeKey(Run& run, Host nav) {
    const int range = GetIntVar(191);
    if (!run.check.Check(range > 0 && range < 8 && TextIs(nav.dialog, 1069, kRangeNames[range]),
                         "Captain range field (1069) shows variable 191 (" + to_string(range) +
                             "), above the lowest range"))
        return false;
    Action a;
    a.what = "key V";
    a.act = [=] {
        TypeKey(nav.frame, Qt::Key_V);
        return true;
    };
    a.set = "SET 191 = " + to_string(range - 1);
    a.after = [=] { return TextIs(nav.dialog, 1069, kRangeNames[range - 1]); };
    a.afterWhat = "Captain range field (1069) shows " + Quoted(kRangeNames[range - 1]);
    a.holds = true;
    return Perform(run, nav, a);
}

bool CaptainModeButton(Run& run, Host nav) {
    const int mode = GetIntVar(202);
    const int next = mode + 1 < 4 ? mode + 1 : 0;
    Action a;
    a.what = "Captain mode \"+\" (1091)";
    a.act = [=] { return Click(nav.dialog, 1091); };
    a.set = "SET 202 = " + to_string(next);
    a.after = [=] { return TextIs(nav.dialog, 1034, kModeNames[next]); };
    a.afterWhat = "Captain mode field (1034) shows " + Quoted(kModeNames[next]);
    a.holds = true;
    return Perform(run, nav, a);
}

bool CaptainCourseArrowUp(Run& run, Host nav) {
    const int next = WrapHeading(ShownNumber(nav.dialog, 1055) + 1);
    Action a;
    a.what = "Captain course up arrow (2008)";
    a.act = [=] { return ClickArrow(nav.dialog, 2008, true); };
    a.set = "SET 118 = " + to_string(next);  // sent by the next refresh
    a.atOnce = [=] { return TextIs(nav.dialog, 1055, Format(" %d ", next)); };
    a.atOnceWhat = "course field (1055) " + Quoted(Format(" %d ", next));
    const std::string echoed = Format("%5d ", next);
    a.after = [=] {
        return std::fabs(GetRealVar(67) - next) < 0.5 && !PanelEcho.courseCaptPending.load() &&
               TextIs(nav.dialog, 1055, echoed);
    };
    a.afterWhat = "variable 67 reported back and the field shows " + Quoted(echoed);
    a.holds = true;
    return Perform(run, nav, a);
}

bool Com1FineUp(Run& run, Host radios) {
    const double standby = ShownReal(radios.dialog, 1024);
    const std::string active = Text(radios.dialog, 1023);
    Action a;
    a.what = "COM1 right up arrow (1039)";
    a.act = [=] { return ClickArrow(radios.dialog, 1039, true); };
    a.set = "SET 94 = 0";
    a.after = [=] {
        return std::fabs(ShownReal(radios.dialog, 1024) - (standby + 0.025)) < 0.0005 &&
               TextIs(radios.dialog, 1023, active);
    };
    a.afterWhat = "COM1 standby (1024) 0.025 up from " + Text(radios.dialog, 1024) + "and active unchanged";
    a.holds = true;
    return Perform(run, radios, a);
}

bool Com1Transfer(Run& run, Host radios) {
    const std::string active = Text(radios.dialog, 1023), standby = Text(radios.dialog, 1024);
    if (!run.check.Check(active != standby, "COM1 active and standby differ")) return false;
    Action a;
    a.what = "click on COM1 active (1023)";
    a.act = [=] { return Click(radios.dialog, 1023); };
    a.set = "SET 90 = 0";
    a.after = [=] {
        return TextIs(radios.dialog, 1023, standby) && TextIs(radios.dialog, 1024, active);
    };
    a.afterWhat = "COM1 active and standby (1023, 1024) swapped";
    a.holds = true;
    return Perform(run, radios, a);
}

bool Adf1CoarseUp(Run& run, Host radios) {
    const double standby = ShownReal(radios.dialog, 1054);
    if (!run.check.Check(standby > 190, "ADF1 standby (1054) shows the simulator's value")) return false;
    Action a;
    a.what = "ADF1 left up arrow (1071), Shift not held";
    a.act = [=] { return ClickArrow(radios.dialog, 1071, true); };
    a.set = "SET 180 = 100";
    a.after = [=] { return std::fabs(ShownReal(radios.dialog, 1054) - (standby + 10.0)) < 0.05; };
    a.afterWhat = "ADF1 standby (1054) 10.0 up";
    a.holds = true;
    return Perform(run, radios, a);
}

bool StatusFieldClick(Run& run, Host status) {
    return run.check.Check(Click(status.dialog, 2007), "click on the Gear field (2007)") &&
           run.check.Wait([=] { return HasFocus(status.frame); }, kFocusMs,
                          "keyboard focus on \"" + TitleOf(status.frame) + "\"");
}

}  // namespace e2egui
