// The refresh thread on a virtual clock: its start delay, its period, the
// panels' order and the mode read on every cycle.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/settings.h"
#include "fake_window.h"
#include "panel_fakes.h"
#include "panels/update_thread.h"
#include "panels/windows.h"
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

TEST(UpdateThreadTest, RefreshesAfterDelayThenEachPeriodInMode) {
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
        static const platform::TimeSource source{nullptr, FakeSleep};
        platform::SetThreadTimeSource(&source);
        UpdateThread();
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

    std::vector<std::string> got;
    for (const fakepanels::Call& c : calls) got.push_back(c.name + " " + fakewin::NameOf(c.dialog));
    const std::vector<std::string> combined = {"UpdateAutopilot big", "UpdateNavDisp big",
                                               "UpdateRadios big", "UpdateStatus big"};
    const std::vector<std::string> separate = {"UpdateAutopilot autopilot",
                                               "UpdateNavDisp navdisp", "UpdateRadios radios",
                                               "UpdateStatus status"};
    std::vector<std::string> expected = combined;
    expected.insert(expected.end(), combined.begin(), combined.end());
    expected.insert(expected.end(), separate.begin(), separate.end());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(times, (std::vector<long>{3333, 3333, 3333, 3333, 3666, 3666, 3666, 3666, 3999,
                                        3999, 3999, 3999}));
}

}  // namespace
