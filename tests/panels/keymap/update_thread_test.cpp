// The refresh thread on a virtual clock: its start delay, its period, and
// the panels' order; it writes the panel model whatever the window mode.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/settings.h"
#include "fake_window.h"
#include "panel_fakes.h"
#include "panels/panel_table.h"
#include "platform/stop_signal.h"
#include "panels/update_thread.h"
#include "panels/windows.h"
#include "model/panel_model_writer.h"
#include "platform/time.h"

namespace {

// Shared with the refresh thread; guarded by fakepanels::Lock().
struct Clock {
    long now = 0;
    int sleeps = 0;
    std::vector<long> refreshTimes;
    bool parked = false;
};
Clock* clock = new Clock;  // the parked thread outlives the test
auto* changed = new std::condition_variable;

constexpr int kFlipAtSleep = 4;  // the mode changes while the 3rd cycle waits
constexpr int kParkAtSleep = 5;  // the 4th cycle's sleep never ends

void FakeSleep(int ms) {
    std::unique_lock<std::mutex> lock(fakepanels::Lock());
    clock->now += ms;
    ++clock->sleeps;
    if (clock->sleeps == kFlipAtSleep) Settings.singleWindow = false;
    if (clock->sleeps == kParkAtSleep) {
        clock->parked = true;
        changed->notify_all();
        changed->wait(lock, [] { return false; });  // for the rest of the run
    }
}

void RecordTime(const fakepanels::Call&) { clock->refreshTimes.push_back(clock->now); }

TEST(UpdateThreadTest, RefreshesTheModelAfterDelayThenEachPeriod) {
    static model::Catalog catalog;
    ASSERT_TRUE(panels::LoadPanelCatalog(&catalog));
    static model::PanelModel panelModel(catalog);  // the detached thread keeps it
    {
        std::lock_guard<std::mutex> guard(fakepanels::Lock());
        fakepanels::calls.clear();
        fakepanels::onUpdate = RecordTime;
    }
    Settings.singleWindow = true;
    bigWinDialog = fakewin::MakeDialog("big");
    statusDialog = fakewin::MakeDialog("status");
    autopilotDialog = fakewin::MakeDialog("autopilot");
    navDispDialog = fakewin::MakeDialog("navdisp");
    radiosDialog = fakewin::MakeDialog("radios");

    std::thread([] {
        static platform::StopSignal never;
        UpdateThread(never, panelModel, {nullptr, FakeSleep});
    }).detach();

    std::vector<fakepanels::Call> calls;
    std::vector<long> times;
    {
        std::unique_lock<std::mutex> lock(fakepanels::Lock());
        ASSERT_TRUE(changed->wait_for(lock, std::chrono::seconds(20), [] { return clock->parked; }));
        calls.swap(fakepanels::calls);
        times = clock->refreshTimes;
        fakepanels::onUpdate = nullptr;
    }
    Settings = DefaultSettings();

    // Each panel's refresh gets its model handle, never a window's, before
    // and after the mode changes.
    std::vector<std::string> got;
    for (const fakepanels::Call& c : calls) {
        std::string handle = "window";
        for (int p = 0; p < panels::kPanelCount; ++p)
            if (c.dialog == model::RefreshDialog(panelModel, p)) handle = panels::PanelRow(static_cast<panels::PanelIndex>(p)).name;
        got.push_back(c.name + " " + handle);
    }
    const std::vector<std::string> cycle = {"UpdateAutopilot autopilot", "UpdateNavDisp navdisp",
                                            "UpdateRadios radios", "UpdateStatus status"};
    std::vector<std::string> expected = cycle;
    expected.insert(expected.end(), cycle.begin(), cycle.end());
    expected.insert(expected.end(), cycle.begin(), cycle.end());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(times, (std::vector<long>{3333, 3333, 3333, 3333, 3666, 3666, 3666, 3666, 3999,
                                        3999, 3999, 3999}));
}

}  // namespace
