// Buttons, switches and encoders, sampled by a 4 kHz timer interrupt:
// inputs debounced at 2 kHz, encoders decoded at every tick.
#pragma once

#include <stdint.h>

#include "firmware/limits.h"
#include "firmware/pins.h"

namespace fw {

void InputsInit();
// Ticks of 0.25 ms since boot, wrapping.
uint16_t Ticks();
const uint16_t kTicksPerMs = 4;

// Adds an input (the pin set up as input with pull-up beforehand).
void AddInput(uint8_t number, bool is_switch);
// Adds an encoder; its position at the next tick is taken as its rest (detent).
void AddEncoder(uint8_t pin_a, uint8_t pin_b);
void ClearInputs();
uint8_t InputCount();
uint8_t EncoderCount();

// By index in configuration order: the debounced changes since the last call
// (0 when none), with the input's pin and its debounced level now. Changes
// alternate and end at the level now.
uint8_t TakeInputChanges(uint8_t index, uint8_t& number, bool& down);
bool InputIsSwitch(uint8_t index);

// Takes the detents an encoder turned since the last call.
int16_t TakeDetents(uint8_t index, uint8_t& pin_a);

}  // namespace fw
