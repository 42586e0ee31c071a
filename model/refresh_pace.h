// How often the refresh may run early. A pure token bucket: the caller
// hands it the time, so it is tested without a clock.
#pragma once
#include <chrono>

namespace model {

// The refresh's pace: a cycle comes after `floorMs` at the latest, or earlier
// once woken, but never sooner than `minGapMs` after the last. A wake by the
// pilot (a command, a procedure's write) is always early. A wake by data (a
// shown variable took a new value) spends one of `dataBurst` early cycles,
// which come back at `dataPerSecond` (0: no such limit). So a lone change
// shows at once, while values changing at every datagram in flight refresh at
// that rate. A pilot's wake earns the next data wakes, so that the node's
// answer to a command shows at once. The windows keep a budget of their own
// (`windowPerSecond` early hand-overs, `windowBurst` at once; 0: every
// cycle), sparing the GUI thread repaints no eye follows, while browsers and
// boards take every cycle.
struct RefreshPace {
    int floorMs = 333;
    int minGapMs = 0;
    double dataPerSecond = 0;
    double dataBurst = 1;
    double windowPerSecond = 0;
    double windowBurst = 1;
};

class TokenBucket {
public:
    using Clock = std::chrono::steady_clock;

    TokenBucket(double perSecond, double burst) : perSecond_(perSecond), burst_(burst) {}

    // Adds what the time since the last refill earned, up to the burst (the
    // first refill fills it).
    void Refill(Clock::time_point now);
    // Whether a token is there (always, without a rate).
    bool Ready() const { return perSecond_ <= 0 || tokens_ >= 1; }
    void Spend();
    // Tops the bucket up to at least `tokens` (never above the burst).
    void Grant(double tokens);
    // How long from the last refill until a token is there.
    Clock::duration UntilReady() const;
    double Tokens() const { return tokens_; }
    double PerSecond() const { return perSecond_; }
    double Burst() const { return burst_; }

private:
    double perSecond_;
    double burst_;
    double tokens_ = -1;  // below 0: not filled yet
    Clock::time_point at_{};
};

}  // namespace model
