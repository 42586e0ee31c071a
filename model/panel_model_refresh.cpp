#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "model/panel_model.h"
#include "model/panel_model_state.h"
#include "platform/time.h"

namespace model {
namespace inner {
namespace {

std::size_t Publish(Model& model, double windowPerSecond, double windowBurst, RefreshWake wake) {
    std::vector<ControlChange> changes;
    std::vector<ControlChange> forWindows;
    std::vector<Window> windows;
    std::uint64_t cycle = 0;
    bool handOver = false;
    {
        const std::lock_guard<std::mutex> lock(model.mutex);
        for (std::size_t i = 0; i < model.panels.size(); ++i) {
            Panel& panel = model.panels[i];
            for (std::size_t k = 0; k < panel.current.size(); ++k) {
                const ControlState& now = panel.current[k].state;
                ControlState& was = panel.published[k];
                if (now.text == was.text && now.checked == was.checked && now.enabled == was.enabled) continue;
                was = now;
                changes.push_back(ControlChange{static_cast<int>(i), now});
            }
        }
        // The first cycle is published even without a change, so that a
        // snapshot exists from then on.
        if (!changes.empty() || model.cycle == 0) cycle = ++model.cycle;
        WindowPace& pace = model.windowPace;
        const auto now = WindowPace::Clock::now();
        if (pace.PerSecond() != windowPerSecond || pace.Burst() != windowBurst) {
            // A new budget keeps what the windows have not been handed yet.
            std::vector<ControlChange> left;
            pace.Take(now, RefreshWake::Pilot, &left);
            pace = WindowPace(windowPerSecond, windowBurst);
            pace.Add(left.data(), left.size());
        }
        pace.Add(changes.data(), changes.size());
        handOver = pace.Take(now, wake, &forWindows);
        if (handOver) windows = model.windows;
    }
    if (cycle != 0) {
        const std::lock_guard<std::mutex> lock(model.subscribersMutex);
        for (const Subscriber& s : model.subscribers) s.listener(s.context, cycle, changes.data(), changes.size());
    }
    // One hand-over per window, holding every change of every panel it shows.
    std::vector<Dialog*> done;
    for (const Window& w : windows) {
        if (std::find(done.begin(), done.end(), w.dialog) != done.end()) continue;
        done.push_back(w.dialog);
        std::vector<ControlState> batch;
        for (const ControlChange& c : forWindows)
            for (const Window& shown : windows)
                if (shown.dialog == w.dialog && shown.panel == c.panel) batch.push_back(c.state);
        if (!batch.empty()) w.dialog->WriteBatch(batch.data(), batch.size());
    }
    return changes.size();
}

}  // namespace

void Wake(Model& model, bool byPilot) {
    {
        const std::lock_guard<std::mutex> lock(model.wakeMutex);
        bool& flag = byPilot ? model.pilotWoken : model.dataWoken;
        if (flag) return;
        flag = true;
    }
    model.wake.notify_one();
}

}  // namespace inner

using namespace inner;

std::size_t PublishCycle(PanelModel& owner) { return Publish(owner.state(), 0, 1, RefreshWake::Pilot); }

std::size_t PublishCycle(PanelModel& owner, const RefreshPace& pace, RefreshWake wake) {
    return Publish(owner.state(), pace.windowPerSecond, pace.windowBurst, wake);
}

void WakeRefresh(PanelModel& owner) { Wake(owner.state(), true); }

void WakeRefreshForData(PanelModel& owner) { Wake(owner.state(), false); }

RefreshWake WaitForRefresh(PanelModel& owner, const RefreshPace& pace, const platform::Clock& clock) {
    using Clock = std::chrono::steady_clock;
    Model& model = owner.state();
    if (clock.Virtual()) {
        clock.SleepMs(pace.floorMs);  // a test's clock: the floor only
        return RefreshWake::Floor;
    }
    std::unique_lock<std::mutex> lock(model.wakeMutex);
    if (!model.dataTokens || model.dataTokens->PerSecond() != pace.dataPerSecond ||
        model.dataTokens->Burst() != pace.dataBurst)
        model.dataTokens.emplace(pace.dataPerSecond, pace.dataBurst);
    TokenBucket& tokens = *model.dataTokens;
    const auto earliest = model.lastReturn + std::chrono::milliseconds(pace.minGapMs);
    const auto latest = Clock::now() + std::chrono::milliseconds(pace.floorMs);
    bool early = false;
    RefreshWake why = RefreshWake::Floor;
    for (;;) {
        const auto now = Clock::now();
        tokens.Refill(now);
        early = model.pilotWoken || (model.dataWoken && tokens.Ready());
        if (early || now >= latest) break;
        auto until = latest;
        if (model.dataWoken) until = std::min(latest, now + tokens.UntilReady());  // waits for its token
        model.wake.wait_until(lock, until);
    }
    if (early) {
        model.wakeups.fetch_add(1, std::memory_order_relaxed);
        why = model.pilotWoken ? RefreshWake::Pilot : RefreshWake::Data;
        if (model.pilotWoken) {
            tokens.Grant(2);
        } else {
            tokens.Spend();
        }
        // Woken early: still no sooner than the rate allows. Wake-ups that
        // come meanwhile fold into this cycle.
        lock.unlock();
        std::this_thread::sleep_until(earliest);
        lock.lock();
    }
    model.pilotWoken = false;
    model.dataWoken = false;
    model.lastReturn = Clock::now();
    return why;
}

long RefreshWakeups(PanelModel& owner) { return owner.state().wakeups.load(std::memory_order_relaxed); }

}  // namespace model
