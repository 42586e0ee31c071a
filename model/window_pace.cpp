#include "model/window_pace.h"

namespace model {

void WindowPace::Add(const ControlChange* changes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const ControlChange& c = changes[i];
        bool merged = false;
        for (ControlChange& p : pending_) {
            if (p.panel != c.panel || p.state.id != c.state.id) continue;
            p.state = c.state;
            merged = true;
            break;
        }
        if (!merged) pending_.push_back(c);
    }
}

bool WindowPace::Take(Clock::time_point now, RefreshWake wake, std::vector<ControlChange>* out) {
    out->clear();
    tokens_.Refill(now);
    if (pending_.empty()) {
        if (wake == RefreshWake::Pilot) tokens_.Grant(2);
        return false;
    }
    switch (wake) {
        case RefreshWake::Pilot: tokens_.Grant(2); break;  // the node's answer is next
        case RefreshWake::Floor: break;
        case RefreshWake::Data:
            if (!tokens_.Ready()) return false;
            tokens_.Spend();
            break;
    }
    out->swap(pending_);
    return true;
}

}  // namespace model
