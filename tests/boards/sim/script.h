// The commands read from stdin, carried out at the board's time: presses,
// pulses and encoder turns become pin changes on simavr cycle timers, so that
// the board sees them at the cycle they were meant for, however busy the host.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>

extern "C" {
#include <sim_avr.h>
}

namespace boardsim {

class Script {
public:
    // drive sets a pin the way a contact to ground (0) or its release (1)
    // would; pins below 2 (the serial port) and from pin_count are refused.
    Script(avr_t* avr, uint32_t frequency, int pin_count, void (*drive)(int pin, int level));
    // simavr holds this object's address for its timers.
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    // Carries out one command line; false when it asks to quit.
    bool Command(const std::string& line);

private:
    struct PinChange {
        avr_cycle_count_t at;
        int pin;
        int level;
        int turned;  // the encoder's pin A once its turn is over, else -1
    };

    static avr_cycle_count_t ApplyChanges(avr_t* avr, avr_cycle_count_t, void* param);
    void Schedule(const PinChange& change);
    bool ValidPin(int pin) const { return pin >= 2 && pin < pin_count_; }
    void Hang();

    avr_t* avr_;
    uint32_t frequency_;
    int pin_count_;
    void (*drive_)(int pin, int level);
    std::deque<PinChange> changes_;  // in time order
    std::map<int, avr_cycle_count_t> pulse_end_;  // by pin: when its last pulse is released
    bool timer_armed_ = false;
};

}  // namespace boardsim
