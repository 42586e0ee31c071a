// End-to-end test of the panels: the real program (start-up, windows, link,
// FMC, refresh thread) on an X server beside the DB-node simulator. The
// test's steps run inside the program's own message loop, click and type
// into the real windows, read the controls through the program's widgets
// and watch the sets the simulator prints.
// Usage: orv_e2e_gui_test <one|four> <simulator output file>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <thread>
#include <chrono>

#include "app/startup.h"
#include "platform/gui.h"
#include "platform/process.h"
#include "platform/window.h"
#include "tests/e2e_gui/cases.h"
#include "tests/support/netns_guard.h"

int main(int argc, char** argv) {
    testsupport::RequirePrivateNetworkNamespace();
    const bool one = argc == 3 && std::strcmp(argv[1], "one") == 0;
    const bool four = argc == 3 && std::strcmp(argv[1], "four") == 0;
    if (!one && !four) {
        std::fprintf(stderr, "usage: %s <one|four> <simulator output file>\n", argv[0]);
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // A hung GUI thread must still end the test with a failure.
    std::thread([] {
        std::this_thread::sleep_for(std::chrono::seconds(150));
        std::printf("FAIL the test did not finish within 150 s\n");
        platform::ExitProcess(1);
    }).detach();

    static e2egui::NodeLog node(argv[2]);
    static e2egui::Checker checker(&node);
    platform::AppInstance instance = platform::GuiInit(argc, argv, OnDisplayLost);
    // Runs once start-up has created the windows and entered the loop.
    QTimer::singleShot(0, [one] {
        e2egui::Run run{checker, node};
        if (one) {
            e2egui::CombinedWindowCase(run);
        } else {
            e2egui::FourWindowCase(run);
        }
        platform::PostQuit(checker.failures() != 0 ? 1 : 0);
    });
    const int code = RunProgram(instance);
    std::printf("%s (loop ended with %d)\n", checker.failures() == 0 && code == 0 ? "PASS" : "FAIL",
                code);
    // The refresh, link and FMC threads are still running.
    platform::ExitProcess(checker.failures() != 0 || code != 0 ? 1 : 0);
}
