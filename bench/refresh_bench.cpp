// One refresh cycle of the combined window (the four panels' Update* on
// bigWinDialog), as the refresh thread runs it: called from a std::thread
// while the GUI thread runs its message loop, so each control write is
// carried out on the GUI thread while the caller waits. It opens no socket.
// It reports; it never fails.
//
// Before every cycle (outside the timing) every variable of the table gets a
// new value, so every control's text really changes. Figures:
// - the cycle's wall time on the refresh thread;
// - the GUI thread's CPU time from one cycle's start to the next's, which
//   takes in the writes, the wake-ups and the repaints that follow (the GUI
//   thread does nothing else meanwhile; an idle row shows the floor);
// - the same cycle called directly on the GUI thread: the writes alone, and
//   the writes with the repaint they cause;
// - for comparison, the whole cycle handed to the GUI thread as one call;
// - the baseline: a minimal Qt window of as many plain bordered labels as
//   the cycle writes controls, all given new texts in one turn of the GUI
//   thread, interleaved cycle by cycle with the program's refresh, and the
//   ratio of the two medians.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QGridLayout>
#include <QLabel>

#include <pthread.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "bench/latency_summary.h"
#include "bench/panel_gui.h"
#include "bench/refresh_cycle.h"
#include "link/link_state.h"
#include "link/var_table.h"
#include "panels/windows.h"
#include "platform/qt/gui_call.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCycles = 400;
constexpr int kSettleMs = 15;          // the GUI thread repaints and goes idle meanwhile
constexpr double kRefreshAimUs = 5000;
constexpr double kGuiAimUs = 2000;

clockid_t guiCpuClock;
double guiMean = 0, baselineMean = 0;  // GUI thread CPU per cycle, microseconds

double Mean(const std::vector<double>& v) {
    double sum = 0;
    for (double x : v) sum += x;
    return v.empty() ? 0 : sum / static_cast<double>(v.size());
}

// Window repaints (update requests handled by top-level widgets), counted on the GUI thread.
std::atomic<std::int64_t> repaints{0};
class RepaintCounter : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::UpdateRequest && watched->isWidgetType())
            repaints.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
};

double RepaintsPerCycle(std::int64_t before, int cycles) {
    return cycles == 0 ? 0 : static_cast<double>(repaints.load() - before) / cycles;
}

double GuiCpuMicros() {
    timespec ts{};
    clock_gettime(guiCpuClock, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

double MicrosSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

using benchsupport::ChangeEveryVariable;
using benchsupport::RefreshCycle;

// Passes everything on to the real dialog, counting the writes.
class CountingDialog final : public platform::Dialog {
public:
    explicit CountingDialog(platform::Dialog* real) : real_(real) {}
    void SetItemText(int id, const char* text) override {
        ++writes;
        real_->SetItemText(id, text);
    }
    void SetItemCheck(int id, bool checked) override {
        ++writes;
        real_->SetItemCheck(id, checked);
    }
    std::size_t GetItemText(int id, char* buf, std::size_t size) override {
        return real_->GetItemText(id, buf, size);
    }
    bool GetItemCheck(int id) override { return real_->GetItemCheck(id); }
    void FocusHost() override { real_->FocusHost(); }
    int writes = 0;

private:
    platform::Dialog* real_;
};

int WritesPerCycle() {
    CountingDialog counting(bigWinDialog);
    RefreshCycle(&counting);
    return counting.writes;
}

// The baseline window: plain labels in a grid, nothing else.
std::vector<QLabel*> baselineFields;

void OpenBaselineWindow(int fields) {
    auto* window = new QWidget;
    auto* grid = new QGridLayout(window);
    for (int i = 0; i < fields; ++i) {
        auto* label = new QLabel(QStringLiteral("0"), window);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(label, i / 8, i % 8);
        baselineFields.push_back(label);
    }
    window->setWindowTitle(QStringLiteral("baseline"));
    window->show();
}

// One turn of the GUI thread: every field gets a new text.
void BaselineCycle(int cycle) {
    platform::qthost::RunOnGuiThread([cycle] {
        char text[32];
        for (std::size_t i = 0; i < baselineFields.size(); ++i) {
            std::snprintf(text, sizeof text, "%.3f", 100 + (cycle % 64) * 1.125 + static_cast<double>(i));
            baselineFields[i]->setText(QString::fromLatin1(text));
        }
    });
}

// This benchmark runs on the benchmark thread, which plays the refresh thread.
void BM_RefreshCycleFromRefreshThread(benchmark::State& state) {
    std::vector<double> refresh, gui, idle, baseline, baselineWall;
    int cycle = 0;
    double guiStart = -1;
    const std::int64_t repaintsBefore = repaints.load();
    for (auto _ : state) {
        ChangeEveryVariable(++cycle);
        std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
        const double guiNow = GuiCpuMicros();
        if (guiStart >= 0) gui.push_back(guiNow - guiStart);
        // Every tenth gap without a cycle: what the GUI thread uses when idle.
        if (cycle % 10 == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
            idle.push_back(GuiCpuMicros() - guiNow);
        }
        // The baseline's turn, between two of the program's.
        const double baselineStart = GuiCpuMicros();
        const Clock::time_point baselineCall = Clock::now();
        BaselineCycle(cycle);
        baselineWall.push_back(MicrosSince(baselineCall));
        std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
        baseline.push_back(GuiCpuMicros() - baselineStart);
        guiStart = GuiCpuMicros();
        const Clock::time_point start = Clock::now();
        RefreshCycle(bigWinDialog);
        const double us = MicrosSince(start);
        refresh.push_back(us);
        state.SetIterationTime(us / 1e6);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
    if (guiStart >= 0) gui.push_back(GuiCpuMicros() - guiStart);
    // Means: a thread's CPU clock may advance in scheduler ticks, which
    // leaves single samples (and so medians) coarse, but their sums exact.
    guiMean = Mean(gui);
    baselineMean = Mean(baseline);
    state.counters["gui_cpu_ratio_to_baseline"] = guiMean / std::max(1.0, baselineMean);
    benchsupport::Report(state, "refresh: cycle on refresh thread (wall)", refresh, 0, kRefreshAimUs);
    benchsupport::Report(state, "refresh: GUI thread CPU per cycle", gui, 0, kGuiAimUs, "gui_cpu_");
    benchsupport::Report(state, "refresh: GUI thread CPU, idle gap (floor)", idle, 0, 0, "idle_cpu_");
    benchsupport::Report(state, "baseline: minimal Qt window, GUI CPU", baseline, 0, 0, "baseline_cpu_");
    benchsupport::Report(state, "baseline: its one call (wall)", baselineWall, 0, 0, "baseline_wall_");
    state.counters["repaints_per_cycle"] = RepaintsPerCycle(repaintsBefore, cycle);
}
BENCHMARK(BM_RefreshCycleFromRefreshThread)->UseManualTime()->Iterations(kCycles)->Unit(benchmark::kMicrosecond);

// For comparison: the refresh thread hands the whole cycle to the GUI thread
// as one call, so the GUI thread wakes and repaints once per cycle instead
// of once per write. Same figures as above.
void BM_RefreshCycleAsOneGuiCall(benchmark::State& state) {
    std::vector<double> refresh, gui;
    int cycle = 0;
    const std::int64_t repaintsBefore = repaints.load();
    for (auto _ : state) {
        ChangeEveryVariable(++cycle);
        const double guiStart = GuiCpuMicros();
        const Clock::time_point start = Clock::now();
        platform::qthost::RunOnGuiThread([] { RefreshCycle(bigWinDialog); });
        const double us = MicrosSince(start);
        std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
        gui.push_back(GuiCpuMicros() - guiStart);
        refresh.push_back(us);
        state.SetIterationTime(us / 1e6);
    }
    benchsupport::Report(state, "alt: one GUI call per cycle, refresh thread", refresh, 0, kRefreshAimUs);
    benchsupport::Report(state, "alt: one GUI call per cycle, GUI CPU", gui, 0, kGuiAimUs, "gui_cpu_");
    state.counters["repaints_per_cycle"] = RepaintsPerCycle(repaintsBefore, cycle);
}
BENCHMARK(BM_RefreshCycleAsOneGuiCall)->UseManualTime()->Iterations(kCycles)->Unit(benchmark::kMicrosecond);

// The cycle run on the GUI thread itself: `repaint` also lets the window
// repaint what the writes changed.
void DirectOnGui(benchmark::State& state, const char* name, bool repaint) {
    std::vector<double> micros;
    int cycle = 0;
    for (auto _ : state) {
        ChangeEveryVariable(++cycle);
        std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
        double us = 0;
        platform::qthost::RunOnGuiThread([&us, repaint] {
            const Clock::time_point start = Clock::now();
            RefreshCycle(bigWinDialog);
            if (repaint) QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
            us = MicrosSince(start);
        });
        micros.push_back(us);
        state.SetIterationTime(us / 1e6);
    }
    benchsupport::Report(state, name, micros, 0, kGuiAimUs);
}

void BM_RefreshCycleOnGuiThread(benchmark::State& state) {
    DirectOnGui(state, "refresh: cycle called on GUI thread (writes)", false);
}
BENCHMARK(BM_RefreshCycleOnGuiThread)->UseManualTime()->Iterations(kCycles)->Unit(benchmark::kMicrosecond);

void BM_RefreshCycleOnGuiThreadWithRepaint(benchmark::State& state) {
    DirectOnGui(state, "refresh: on GUI thread, writes + repaint", true);
}
BENCHMARK(BM_RefreshCycleOnGuiThreadWithRepaint)->UseManualTime()->Iterations(kCycles)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (!benchsupport::OpenCombinedWindow(argc, argv, "ORVRefreshBench.log")) return 1;
    if (pthread_getcpuclockid(pthread_self(), &guiCpuClock) != 0) return 1;
    const int writes = WritesPerCycle();
    OpenBaselineWindow(writes);
    qApp->installEventFilter(new RepaintCounter);
    benchmark::Initialize(&argc, argv);
    // The benchmarks run on a thread of their own, the refresh thread's
    // stand-in, while this (the GUI) thread runs the message loop.
    std::thread runner([] {
        benchmark::RunSpecifiedBenchmarks();
        platform::qthost::RunOnGuiThread([] { QCoreApplication::quit(); });
    });
    QApplication::exec();
    runner.join();
    benchmark::Shutdown();
    benchsupport::PrintSummary("Refresh cycle of the combined window, microseconds:");
    std::printf("  control writes per cycle: %d (%s)\n", writes,
                QGuiApplication::platformName().toUtf8().constData());
    std::printf("  GUI thread CPU per cycle (mean): program %.0f us, minimal Qt window %.0f us, ratio %.2f\n",
                guiMean, baselineMean, guiMean / std::max(1.0, baselineMean));
    return 0;
}
