// One refresh cycle of the combined window on the Win32 host, as the refresh
// thread runs it, while the GUI thread serves its message loop: how many
// messages cross to the GUI thread per cycle, and the cycle's wall time on
// the refresh thread. Cycles with every variable changed alternate with
// cycles in which nothing changed since the one before. It opens no socket.
// It reports; it never fails.
//
// Run under Wine on an X server (a desktop, or tests/gui/run_on_wine_x.sh):
//   tests/gui/run_on_wine_x.sh build-windows/bench/win32_refresh_bench.exe
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "model/dialog_script.h"
#include "base/log.h"
#include "base/settings.h"
#include "bench/refresh_cycle.h"
#include "link/link_state.h"
#include "link/var_table.h"
#include "model/catalog.h"
#include "panels/panel_table.h"
#include "panels/windows.h"
#include "platform/gui.h"
#include "platform/window.h"
#include "resources/dialog_script.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCycles = 200;  // of each kind

DWORD guiThread = 0;
std::atomic<long> crossings{0};  // messages another thread sent to the GUI thread's windows

// Runs on the GUI thread before each window procedure call of a sent message.
LRESULT CALLBACK CountSends(int code, WPARAM fromThisThread, LPARAM info) {
    if (code == HC_ACTION && fromThisThread == 0) crossings.fetch_add(1, std::memory_order_relaxed);
    return CallNextHookEx(nullptr, code, fromThisThread, info);
}

using benchsupport::ChangeEveryVariable;

void RefreshCycle() { benchsupport::RefreshCycle(bigWinDialog); }

struct Sample {
    std::vector<double> micros;
    std::vector<long> sends;
};

void Measure(Sample* sample) {
    const long before = crossings.load();
    const Clock::time_point start = Clock::now();
    RefreshCycle();
    sample->micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    sample->sends.push_back(crossings.load() - before);
}

template <typename T>
T Median(std::vector<T> v) {
    if (v.empty()) return T{};
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Report(const char* what, const Sample& s) {
    long total = 0;
    for (long n : s.sends) total += n;
    std::printf("%-34s sends per cycle: median %ld, mean %.2f; wall per cycle: median %.0f us\n", what,
                Median(s.sends), static_cast<double>(total) / static_cast<double>(s.sends.size()),
                Median(s.micros));
}

void RefreshThread() {
    Sample changed, unchanged;
    ChangeEveryVariable(0);
    RefreshCycle();  // the first write of every control
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        ChangeEveryVariable(cycle);
        Measure(&changed);
        Measure(&unchanged);
    }
    Report("every variable changed:", changed);
    Report("nothing changed since the last:", unchanged);
    std::fflush(stdout);
    PostThreadMessageA(guiThread, WM_QUIT, 0, 0);
}

}  // namespace

int main(int argc, char** argv) {
    StartLog("win32_refresh_bench.log");
    Settings = DefaultSettings();
    platform::GuiInit(argc, argv);
    guiThread = GetCurrentThreadId();
    InitDB();
    DataMutex = platform::NewMutex("DATAMUTEX");
    FlightMutex = platform::NewMutex("FLIGHTMUTEX");
    static model::Catalog catalog;
    if (!panels::LoadPanelCatalog(&catalog) || DataMutex == nullptr || FlightMutex == nullptr ||
        !CreateBigWin(nullptr, PanelWindowSource{&catalog, nullptr})) {
        std::printf("The combined window did not open\n");
        return 1;
    }
    SetWindowsHookExA(WH_CALLWNDPROC, CountSends, nullptr, guiThread);
    std::thread(RefreshThread).detach();
    platform::GuiRunMessageLoop();
    std::fflush(stdout);
    _exit(0);  // the refresh thread is never joined, as in the program
}
