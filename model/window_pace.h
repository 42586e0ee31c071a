// The windows' share of the refresh. Browsers and boards take every cycle,
// but a window repaints on the GUI thread, so in flight (values changing at
// every datagram) it is handed a batch only within its own budget; the
// cycles in between are merged, so that its last state is always the
// model's. A pure piece: the caller hands it the time.
#pragma once
#include <chrono>
#include <cstddef>
#include <vector>

#include "model/panel_model.h"
#include "model/refresh_pace.h"

namespace model {

// Why a refresh cycle ran.
enum class RefreshWake { Floor, Pilot, Data };

class WindowPace {
public:
    using Clock = TokenBucket::Clock;

    // `perSecond` early hand-overs a second, `burst` at once (0: every cycle).
    WindowPace(double perSecond, double burst) : tokens_(perSecond, burst) {}

    // One published cycle's changes, merged with those not handed over yet
    // (a control's latest state replaces its earlier one).
    void Add(const ControlChange* changes, std::size_t count);
    // Whether the pending changes go to the windows now: a pilot's cycle
    // (his action and the node's answer show at once) and a cycle on the
    // floor always; a cycle woken by data only with a token. Takes them
    // into `out` (emptied first) and returns true, or leaves them pending.
    bool Take(Clock::time_point now, RefreshWake wake, std::vector<ControlChange>* out);
    bool Pending() const { return !pending_.empty(); }
    double PerSecond() const { return tokens_.PerSecond(); }
    double Burst() const { return tokens_.Burst(); }

private:
    TokenBucket tokens_;
    std::vector<ControlChange> pending_;
};

}  // namespace model
