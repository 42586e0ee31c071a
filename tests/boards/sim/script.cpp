#include "tests/boards/sim/script.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace boardsim {

Script::Script(avr_t* avr, uint32_t frequency, int pin_count, void (*drive)(int pin, int level))
    : avr_(avr), frequency_(frequency), pin_count_(pin_count), drive_(drive) {}

avr_cycle_count_t Script::ApplyChanges(avr_t* avr, avr_cycle_count_t, void* param) {
    Script& s = *static_cast<Script*>(param);
    while (!s.changes_.empty() && s.changes_.front().at <= avr->cycle) {
        const PinChange c = s.changes_.front();
        s.changes_.pop_front();
        if (c.pin >= 0) s.drive_(c.pin, c.level);
        if (c.turned >= 0) std::printf("turned %d\n", c.turned);
    }
    s.timer_armed_ = !s.changes_.empty();
    return s.timer_armed_ ? s.changes_.front().at : 0;
}

void Script::Schedule(const PinChange& change) {
    auto it = changes_.begin();
    while (it != changes_.end() && it->at <= change.at) ++it;
    changes_.insert(it, change);
    if (!timer_armed_ || changes_.front().at == change.at) {
        avr_cycle_timer_cancel(avr_, ApplyChanges, this);
        const avr_cycle_count_t now = avr_->cycle;
        const avr_cycle_count_t at = changes_.front().at;
        avr_cycle_timer_register(avr_, at > now ? at - now : 1, ApplyChanges, this);
        timer_armed_ = true;
    }
}

// Sends the firmware to the C library's own end, "cli" and a jump to itself,
// where only the watchdog gets it out.
void Script::Hang() {
    for (uint32_t at = 0; at + 3 < avr_->flashend; at += 2) {
        const uint8_t* f = avr_->flash + at;
        if (f[0] == 0xf8 && f[1] == 0x94 && f[2] == 0xff && f[3] == 0xcf) {
            avr_->pc = at;
            return;
        }
    }
    std::printf("error hang: no stop loop in the firmware\n");
}

bool Script::Command(const std::string& line) {
    char verb[16] = {};
    int a = -1, b = -1, n = 0;
    double rate = 0;
    const int fields = std::sscanf(line.c_str(), "%15s %d %d %d %lf", verb, &a, &b, &n, &rate);
    const std::string v = verb;
    const avr_cycle_count_t now = avr_->cycle;
    if (fields == 2 && ValidPin(a) && (v == "press" || v == "close" || v == "release" || v == "open")) {
        Schedule({now, a, (v == "release" || v == "open") ? 1 : 0, -1});
    } else if (double ms = 0; v == "pulse" && std::sscanf(line.c_str(), "%*s %d %lf", &a, &ms) == 2 &&
                                ValidPin(a) && ms > 0) {
        // A button cannot be pressed again before it is released: a pulse
        // sent while the last one on its pin is still scheduled (the board's
        // time lagging behind on a busy machine) follows it after a 10 ms
        // release, so the board always sees each press as sent.
        const auto it = pulse_end_.find(a);
        const avr_cycle_count_t start =
            it == pulse_end_.end() ? now : std::max(now, it->second + 10 * (frequency_ / 1000));
        const avr_cycle_count_t end = start + static_cast<avr_cycle_count_t>(ms * (frequency_ / 1000));
        Schedule({start, a, 0, -1});
        Schedule({end, a, 1, -1});
        pulse_end_[a] = end;
    } else if (fields == 5 && v == "turn" && ValidPin(a) && ValidPin(b) && a != b && rate > 0) {
        // Four transitions a detent, evenly spaced: A falls first turning up.
        const avr_cycle_count_t step = static_cast<avr_cycle_count_t>(frequency_ / (rate * 4));
        const int first = n > 0 ? a : b, second = n > 0 ? b : a;
        avr_cycle_count_t at = now;
        for (int i = 0; i < std::abs(n); ++i) {
            Schedule({at += step, first, 0, -1});
            Schedule({at += step, second, 0, -1});
            Schedule({at += step, first, 1, -1});
            Schedule({at += step, second, 1, -1});
        }
        Schedule({at + 1, -1, 0, a});
    } else if (v == "hang") {
        Hang();
    } else if (v == "quit") {
        return false;
    } else if (!v.empty()) {
        std::printf("error %s\n", line.c_str());
    }
    return true;
}

}  // namespace boardsim
