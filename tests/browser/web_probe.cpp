// The real program with a probe of its windows, for the browser tests. Every
// 100 ms, inside the message loop, it takes probe.cmd from the working
// directory and answers in probe.out (written whole, then renamed):
//   dump                 every addressable control: "template id text|checked"
//   click ID             a user's click on that control of a window
//   arrow ID up|down     a click on one arrow of an up-down
//   close NAME           the user closes that panel's window (radios...)
//   watch ID             from now on, each new text of that control as the
//                        GUI thread holds it (looked at every millisecond)
//                        goes to watch.txt: "<ms since the epoch> <text>"
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "app/startup.h"
#include "panels/windows.h"
#include "platform/gui.h"
#include "platform/process.h"
#include "platform/window.h"
#include "tests/e2e_gui/probe.h"
#include "tests/support/netns_guard.h"

namespace {

platform::Dialog* DialogWith(int id) {
    for (platform::Dialog* d : {bigWinDialog, statusDialog, autopilotDialog, navDispDialog,
                                radiosDialog}) {
        if (d != nullptr && e2egui::HasControl(d, id)) return d;
    }
    return nullptr;
}

struct Watched {
    int id = 0;
    std::string text;
    QTimer timer;
};
Watched* watched = nullptr;

void LookAtWatched() {
    platform::Dialog* dialog = DialogWith(watched->id);
    if (dialog == nullptr) return;
    std::string text = e2egui::Text(dialog, watched->id);
    if (text == watched->text) return;
    watched->text = std::move(text);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    std::ofstream("watch.txt", std::ios::app) << ms.count() << ' ' << watched->text << '\n';
}

std::string Answer(const std::string& command) {
    std::istringstream in(command);
    std::string verb, way;
    int id = 0;
    in >> verb >> id >> way;
    if (verb == "dump") return platform::DumpDialogs();
    if (verb == "watch") {
        if (watched == nullptr) {
            watched = new Watched;
            watched->timer.setTimerType(Qt::PreciseTimer);
            QObject::connect(&watched->timer, &QTimer::timeout, LookAtWatched);
        }
        watched->id = id;
        watched->text.clear();
        watched->timer.start(1);
        return "ok\n";
    }
    if (verb == "close") {
        in.clear();
        in.seekg(0);
        std::string name;
        in >> verb >> name;
        const struct {
            const char* name;
            platform::Frame** frame;
            platform::FrameProc proc;
        } windows[] = {{"status", &statusFrame, MsgStatus},
                       {"autopilot", &autopilotFrame, MsgAutopilot},
                       {"navdisp", &navDispFrame, MsgNavDisp},
                       {"radios", &radiosFrame, MsgRadios}};
        for (const auto& w : windows)
            if (name == w.name && *w.frame != nullptr) {
                // As the window's close box does.
                w.proc(*w.frame, platform::FrameMsg{platform::FrameMsgKind::Close, 0});
                return "ok\n";
            }
        return "no window\n";
    }
    platform::Dialog* dialog = DialogWith(id);
    if (dialog == nullptr) return "no control\n";
    const bool done = verb == "click" ? e2egui::Click(dialog, id)
                                      : e2egui::ClickArrow(dialog, id, way == "up");
    return done ? "ok\n" : "failed\n";
}

void Poll() {
    std::ifstream file("probe.cmd");
    if (!file) return;
    std::string command;
    std::getline(file, command);
    file.close();
    std::remove("probe.cmd");
    std::ofstream("probe.tmp") << Answer(command);
    std::rename("probe.tmp", "probe.out");
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::RequirePrivateNetworkNamespace();
    platform::AppInstance instance = platform::GuiInit(argc, argv, OnDisplayLost);
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, Poll);
    timer.start(100);
    const int code = RunProgram(instance);
    platform::ExitProcess(code);
}
