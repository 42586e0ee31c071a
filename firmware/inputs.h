// Buttons, switches and encoders, sampled by a 4 kHz timer interrupt:
// inputs debounced at 1 kHz, encoders decoded at every tick.
#pragma once

#include <stdint.h>

#include "firmware/limits.h"
#include "firmware/pins.h"

namespace fw {

void InputsInit();
// Milliseconds since boot, wrapping.
uint16_t Millis();

// Adds an input (the pin set up as input with pull-up beforehand).
void AddInput(uint8_t number, bool is_switch);
// Adds an encoder; its present position is taken as its rest (detent).
void AddEncoder(uint8_t pin_a, uint8_t pin_b);
void ClearInputs();
uint8_t InputCount();
uint8_t EncoderCount();

struct InputEvent {
    uint8_t number;
    bool down;
};
// The next debounced change, oldest first; false when none.
bool NextInputEvent(InputEvent& event);

// A switch's debounced level, by index in configuration order.
bool InputIsSwitch(uint8_t index, uint8_t& number, bool& down);

// Takes the detents an encoder turned since the last call.
int16_t TakeDetents(uint8_t index, uint8_t& pin_a);

}  // namespace fw
